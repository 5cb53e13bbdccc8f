#include "toolkit/Errors.h"

#include <gtest/gtest.h>

using namespace toolkit;

TEST(FormatMessageText, ReplacesThePlaceholder) {
    EXPECT_EQ(FormatMessageText("Kann nicht nach %s schreiben", "C:\\WINHELP.INI"),
              "Kann nicht nach C:\\WINHELP.INI schreiben");
    EXPECT_EQ(FormatMessageText("100%", "x"), "100%");
}

TEST(RaiseInOutError, CarriesTheCode) {
    try {
        RaiseInOutError(3);
        FAIL() << "no error raised";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.errorCode, 3u);
        EXPECT_EQ(std::string(e.what()).rfind("E/A-Fehler 3", 0), 0u) << e.what();
    }
}
