#pragma once

namespace pelorix::test {

// What the installation looks like on this system when nothing is configured.
struct DefaultInstallation {
    const char* settingsAndControlDocument;  // the two files under special folder 35
    const char* systemFolder;                // special folder 37
    const char* sqlServerOdbcDriver;
};
extern const DefaultInstallation kDefaultInstallation;

// Wine lacks a few things Windows has (noted where a test leaves them out).
bool runningUnderWine();

}  // namespace pelorix::test
