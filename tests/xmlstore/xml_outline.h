#pragma once

#include <QByteArray>
#include <QString>

namespace pelorix::test {

// A compact form of an XML file for comparisons: elements with their attributes and text, no
// declaration, comments or layout, e.g. <a x="1"><b>v</b></a>. "invalid" when it does not parse.
QString xmlOutline(const QByteArray& bytes);

}  // namespace pelorix::test
