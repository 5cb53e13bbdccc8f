// Message files as text: integers, tags, the two formats, the step counter, strip limits.
#include "image/MessageFiles.h"
#include "toolkit/Errors.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <climits>
#include <fstream>
#include <functional>

using namespace image;

namespace {

std::string ScratchFile(const std::string& name, const std::string& content) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string dir =
        std::string(folder) + "glim_msgfiles_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string path = dir + "\\" + name;
    std::ofstream(path, std::ios::binary)
        .write(content.data(), static_cast<std::streamsize>(content.size()));
    return path;
}

// What ApplyScrollText leaves: font, speed, background, message.
struct ScrollResult {
    toolkit::TFont font;
    int speed = 7;
    toolkit::TColor background = 7;
    std::string message = "previous";
};

ScrollResult Scroll(const std::string& text, ScrollResult start = {}) {
    ApplyScrollText(text, start.font, start.speed, start.background, start.message);
    return start;
}

std::string ConversionErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const toolkit::EConvertError& e) {
        return e.what();
    }
    return "no conversion error";
}

} // namespace

TEST(MessageInteger, AcceptsBlanksSignsAndHexadecimal) {
    const std::pair<const char*, int> good[] = {
        {"0", 0},
        {"  42", 42},
        {"+7", 7},
        {"-13", -13},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"000000000000000000012", 12},
        {"$ff", 255},
        {"$00FFffFF", 0xFFFFFF},
        {" $80000005", static_cast<int>(0x80000005u)},
        {"$FFFFFFFF", -1},
    };
    for (auto [text, expected] : good) {
        int value = 12345;
        EXPECT_TRUE(TryParseMessageInteger(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    const char* bad[] = {"",           " ",           "3 ",         "3\r\n",
                         "\t3",        "-",           "+",          "$",
                         "-$10",       "0x10",        "1e3",        "12a",
                         "2147483648", "-2147483649", "$100000000", "99999999999999999999",
                         "- 1"};
    for (const char* text : bad) {
        int value = 12345;
        EXPECT_FALSE(TryParseMessageInteger(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 12345) << text;
    }
    EXPECT_EQ(ConversionErrorOf([] { ParseMessageInteger("3 "); }),
              "'3 ' ist kein gültiger Integerwert");
}

TEST(ExtractTagged, TakesTheTextBetweenTheFirstOccurrences) {
    std::string value = "stale";
    EXPECT_TRUE(ExtractTagged(value, "x/a|one/b|two/b|", "/a|", "/b|"));
    EXPECT_EQ(value, "one");
    EXPECT_FALSE(ExtractTagged(value, "/b|text", "/a|", "/b|"));
    EXPECT_EQ(value, "");
    value = "stale";
    EXPECT_FALSE(ExtractTagged(value, "/a|text", "/a|", "/b|"));
    EXPECT_EQ(value, "");
    // Adjacent, or the closing tag first: found, but empty.
    value = "stale";
    EXPECT_TRUE(ExtractTagged(value, "/a|/b|", "/a|", "/b|"));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(ExtractTagged(value, "/b|late/a|text/b|", "/a|", "/b|"));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(ExtractTagged(value, "/A|x/b|", "/A|", "/b|"));
    EXPECT_FALSE(ExtractTagged(value, "/A|x/b|", "/a|", "/b|")); // case-sensitive
}

TEST(ScrollText, TheFullFileSetsEveryField) {
    const std::string file = "/fc|0/fh|-20/fn|Arial/fs|12/ft|1000/bc|16777215/sp|2/sm|Hello/eo|";
    for (const std::string& text : {file, " " + file, "\r\n" + file}) {
        ScrollResult r = Scroll(text);
        EXPECT_EQ(r.font.Color(), 0);
        EXPECT_EQ(r.font.Height(), -16) << "12 points after the height of -20";
        EXPECT_EQ(r.font.Name(), "Arial");
        EXPECT_TRUE(r.font.Bold());
        EXPECT_FALSE(r.font.Italic() || r.font.Underline() || r.font.StrikeOut());
        EXPECT_EQ(r.background, 0xFFFFFF);
        EXPECT_EQ(r.speed, 2);
        EXPECT_EQ(r.message, "Hello");
    }
}

TEST(ScrollText, AbsentFieldsTakeDefaultsButSizeAndStyleStay) {
    ScrollResult start;
    start.font.SetItalic(true);
    start.font.SetUnderline(true);
    ScrollResult r = Scroll("/sm|Hi/eo|", start);
    EXPECT_EQ(r.font.Color(), 255);
    EXPECT_EQ(r.font.Height(), -13);
    EXPECT_EQ(r.font.Name(), "SYSTEM");
    EXPECT_TRUE(r.font.Italic());
    EXPECT_TRUE(r.font.Underline());
    EXPECT_FALSE(r.font.Bold());
    EXPECT_EQ(r.background, 128);
    EXPECT_EQ(r.speed, 1);
    EXPECT_EQ(r.message, "Hi");
    // No closing "/eo|", or a NUL before it: the message is missing.
    EXPECT_EQ(Scroll("/sm|Hi").message, " Invallid message format ! ");
    EXPECT_EQ(Scroll(std::string("/sm|Hi\0/eo|", 11)).message, " Invallid message format ! ");
    EXPECT_EQ(Scroll("").message, " Invallid message format ! ");
}

TEST(ScrollText, EmptyValuesLeaveTheirSettingsExceptTheStyle) {
    ScrollResult start;
    start.font.SetColor(0x123456);
    start.font.SetHeight(-30);
    start.font.SetName("Courier");
    start.font.SetBold(true);
    ScrollResult r = Scroll("/fc|/fh|/fn|/fs|/ft|/bc|/sp|/sm|/eo|", start);
    EXPECT_EQ(r.font.Color(), 0x123456);
    EXPECT_EQ(r.font.Height(), -30);
    EXPECT_EQ(r.font.Name(), "Courier");
    EXPECT_FALSE(r.font.Bold()) << "an empty style is the plain style";
    EXPECT_EQ(r.background, 7);
    EXPECT_EQ(r.speed, 7);
    EXPECT_EQ(r.message, "previous");

    const std::pair<const char*, std::array<bool, 4>> styles[] = {
        {"/ft|11/bc|", {true, true, false, false}},
        {"/ft|0001/bc|", {false, false, false, true}},
        {"/ft|1111/bc|", {true, true, true, true}},
        {"/ft|x1y1z/bc|", {false, true, false, true}},
    };
    for (const auto& [text, expected] : styles) {
        ScrollResult s = Scroll(text);
        EXPECT_EQ(s.font.Bold(), expected[0]) << text;
        EXPECT_EQ(s.font.Italic(), expected[1]) << text;
        EXPECT_EQ(s.font.Underline(), expected[2]) << text;
        EXPECT_EQ(s.font.StrikeOut(), expected[3]) << text;
    }
}

TEST(ScrollText, AClosingTagBeforeItsOpeningTagLeavesTheSetting) {
    ScrollResult start;
    start.font.SetHeight(-30);
    start.font.SetBold(true);
    // "/fn|" closes the height row but first occurs before "/fh|"; "/bc|" before "/ft|".
    ScrollResult r = Scroll("/bc|77/fn|Arial/fs|/ft|1111/fh|-20", start);
    EXPECT_EQ(r.font.Height(), -30);
    EXPECT_FALSE(r.font.Bold());
    EXPECT_FALSE(r.font.Italic());
    EXPECT_EQ(r.font.Name(), "Arial");
    EXPECT_EQ(r.background, 128) << "no /sp| after /bc|: absent";
}

TEST(ScrollText, ValuesAreTakenLiterally) {
    ScrollResult r = Scroll("/fn| Times\r\n/fs|/sm|\tTwo  blanks \r\n/eo|");
    EXPECT_EQ(r.font.Name(), " Times\r\n");
    EXPECT_EQ(r.message, "\tTwo  blanks \r\n");
    std::string longName(300, 'N');
    EXPECT_EQ(Scroll("/fn|" + longName + "/fs|").font.Name(), std::string(255, 'N'));
}

TEST(ScrollText, ABadIntegerStopsWithTheFieldsBeforeItApplied) {
    ScrollResult r;
    EXPECT_EQ(ConversionErrorOf([&] {
                  ApplyScrollText("/fc|0/fh|-20/fn|Arial/fs|/ft|/bc|5/sp|3 /sm|x/eo|", r.font,
                                  r.speed, r.background, r.message);
              }),
              "'3 ' ist kein gültiger Integerwert");
    EXPECT_EQ(r.font.Name(), "Arial");
    EXPECT_EQ(r.background, 5);
    EXPECT_EQ(r.speed, 7);
    EXPECT_EQ(r.message, "previous");
    EXPECT_EQ(ConversionErrorOf([] { Scroll("/fh|-2 0/fn|"); }),
              "'-2 0' ist kein gültiger Integerwert");
    EXPECT_EQ(ConversionErrorOf([] { Scroll("/fc|$GG/fh|"); }),
              "'$GG' ist kein gültiger Integerwert");
}

TEST(CreditText, SplitsAtEveryKindOfLineEnd) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("a"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitLines(std::string("a\nb\0c\nd", 7)), (Lines{"a", "b"}));
}

TEST(CreditText, AppliesLinesTwoToEightAndKeepsTheRest) {
    toolkit::TFont font;
    int speed = 0;
    toolkit::TColor background = 0;
    std::vector<std::string> lines = {"old"};
    ApplyCreditText("Title\r\n$FF0000\n-30\rArial\r\n14\r\n0110\r\n  65280\r\n-1\r\nFirst\r\n\r\n "
                    "Last ",
                    font, speed, background, lines);
    EXPECT_EQ(font.Color(), 0xFF0000);
    EXPECT_EQ(font.Height(), -MulDiv(14, 96, 72));
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_FALSE(font.Bold());
    EXPECT_TRUE(font.Italic());
    EXPECT_TRUE(font.Underline());
    EXPECT_EQ(background, 0x00FF00);
    EXPECT_EQ(speed, -1);
    EXPECT_EQ(lines, (std::vector<std::string>{"First", "", " Last "}));

    // Exactly eight lines: no credit lines. An empty style line is the plain style.
    ApplyCreditText("\n1\n-10\nX\n8\n\n2\n3", font, speed, background, lines);
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(font.Italic());
    EXPECT_EQ(font.Name(), "X");
}

TEST(CreditText, FewerThanEightLinesFailAfterApplyingThoseThere) {
    toolkit::TFont font;
    int speed = 0;
    toolkit::TColor background = 0;
    std::vector<std::string> lines = {"old"};
    try {
        ApplyCreditText("T\n255\n-20\nArial\n", font, speed, background, lines);
        FAIL() << "no list error";
    } catch (const toolkit::EListError& e) {
        EXPECT_STREQ(e.what(), "Listenindex außerhalb des zulässigen Bereichs");
    }
    EXPECT_EQ(font.Color(), 255);
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_TRUE(lines.empty());
    EXPECT_THROW(ApplyCreditText("", font, speed, background, lines), toolkit::EListError);
    // An integer line has no blanks after it and is never empty.
    EXPECT_EQ(ConversionErrorOf([&] {
                  ApplyCreditText("T\n1\n2\nA\n4\n0\n6\n7 \nx", font, speed, background, lines);
              }),
              "'7 ' ist kein gültiger Integerwert");
    EXPECT_EQ(ConversionErrorOf([&] {
                  ApplyCreditText("T\n\n2\nA\n4\n0\n6\n7\nx", font, speed, background, lines);
              }),
              "'' ist kein gültiger Integerwert");
}

TEST(MessageFileReading, MissingFilesGiveFalseAndLockedFilesTheOpenError) {
    toolkit::TFont font;
    font.SetName("Kept");
    int speed = 5;
    toolkit::TColor background = 6;
    std::string message = "kept";
    std::vector<std::string> lines = {"cleared"};
    EXPECT_FALSE(ParseScrollFile("C:\\no\\such.scm", font, speed, background, message));
    EXPECT_FALSE(ParseCreditFile("C:\\no\\such.cms", font, speed, background, lines));
    EXPECT_EQ(font.Name(), "Kept");
    EXPECT_EQ(message, "kept");
    EXPECT_TRUE(lines.empty());

    std::string path = ScratchFile("locked.scm", "/sm|Hi/eo|");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        ParseScrollFile(path, font, speed, background, message);
        ADD_FAILURE() << "no open error";
    } catch (const toolkit::EFOpenError& e) {
        EXPECT_EQ(e.what(), "Kann Datei " + path + " nicht öffnen");
    }
    EXPECT_THROW(ParseCreditFile(path, font, speed, background, lines), toolkit::EFOpenError);
    CloseHandle(lock);
    // Others may read while we read.
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    EXPECT_TRUE(ParseScrollFile(path, font, speed, background, message));
    EXPECT_EQ(message, "Hi");
    CloseHandle(reader);
}

TEST(MessageFileReading, ACreditFileIsReadUpToItsLimit) {
    // 70,000 bytes; the limit falls inside the last, long line.
    std::string head = "T\n0\n-13\nArial\n8\n0000\n16777215\n0\n";
    std::string text = head + "first\n" + std::string(70000 - head.size() - 6, 'x');
    ASSERT_EQ(text.size(), 70000u);
    std::string path = ScratchFile("long.cms", text);
    toolkit::TFont font;
    int speed = 0;
    toolkit::TColor background = 0;
    std::vector<std::string> lines;
    ASSERT_TRUE(ParseCreditFile(path, font, speed, background, lines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "first");
    EXPECT_EQ(lines[1].size(), static_cast<size_t>(kCreditFileLimit) - head.size() - 6);
}

TEST(MessageFileReading, AHugeScrollFileIsReadOnlyAtItsStart) {
    // The closing tag lies past the part that is read.
    std::string text = "/sp|4/sm|" + std::string(3 << 20, 'x') + "/eo|";
    std::string path = ScratchFile("huge.scm", text);
    toolkit::TFont font;
    int speed = 0;
    toolkit::TColor background = 0;
    std::string message;
    ASSERT_TRUE(ParseScrollFile(path, font, speed, background, message));
    EXPECT_EQ(speed, 4);
    EXPECT_EQ(message, " Invallid message format ! ");
}

TEST(TickDue, ThinsStepsByTheDivider) {
    auto sequence = [](int divider, int count) {
        int tick = 0;
        std::string out;
        for (int i = 0; i < count; ++i)
            out += TickDue(tick, divider) ? 'T' : 'F';
        return out;
    };
    EXPECT_EQ(sequence(1, 6), "FTFTFT");
    EXPECT_EQ(sequence(2, 6), "FFTFFT");
    EXPECT_EQ(sequence(0, 4), "TTTT");
    EXPECT_EQ(sequence(-5, 4), "TTTT");
    // A count carried over from an earlier display.
    int tick = 5;
    EXPECT_TRUE(TickDue(tick, 1));
    EXPECT_EQ(tick, 0);
    // The counter wraps like a 32-bit integer.
    tick = INT_MAX;
    EXPECT_FALSE(TickDue(tick, INT_MAX));
    EXPECT_EQ(tick, INT_MIN);
}

TEST(LimitStrip, KeepsEachSideAndThePixelCountBounded) {
    long long w = 100, h = 16;
    LimitStrip(w, h, 5);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 16);
    w = -3, h = -1;
    LimitStrip(w, h, 0);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    w = 1LL << 40, h = 16;
    LimitStrip(w, h, 5);
    EXPECT_EQ(w, kMaxStripSide);
    w = 30000, h = 35000;
    LimitStrip(w, h, 5);
    EXPECT_EQ(h + 5, kMaxStripSide);
    EXPECT_LE(w * (h + 5), kMaxStripPixels);
    EXPECT_GT(w, 0);
}
