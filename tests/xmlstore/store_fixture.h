#pragma once

#include "platform/file_system.h"
#include "support/temp_dir.h"
#include "xml_outline.h"
#include "xmlstore/xml_store.h"

#include <gtest/gtest.h>

namespace pelorix::test {

// A store on the real file system with a scratch folder for its files.
class StoreFixture : public ::testing::Test {
  protected:
    StoreFixture() : store(platform::defaultFileSystem()) {}

    void loadText(const QString& xml) { ASSERT_TRUE(store.XMLLoadText(xml)) << xml.toStdString(); }

    // The document in memory, as the store saves it.
    QString outline() {
        const QString file = temp.file("outline.xml");
        EXPECT_TRUE(store.XMLSave(file));
        return xmlOutline(temp.read("outline.xml"));
    }

    TempDir temp;
    xmlstore::XmlStore store;
};

}  // namespace pelorix::test
