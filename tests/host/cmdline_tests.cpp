// Splitting of the raw command line: keywords, quoting, separators and double-byte characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../cases/expected.h"
#include "cmdline.h"

using namespace lv;
using expected::SjisLead;
using Args = std::vector<std::string>;

TEST(CommandLine, KeywordsAndExtraArguments) {
    EXPECT_EQ(CommandLineArgs("lviehlp.exe INSTALL"), Args{"INSTALL"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe Install"), Args{"Install"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe install now"), (Args{"install", "now"}));
    EXPECT_EQ(CommandLineArgs("lviehlp.exe /install"), Args{"/install"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe -install"), Args{"-install"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe installx"), Args{"installx"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe"), Args{});
    EXPECT_EQ(CommandLineArgs(""), Args{});
    EXPECT_EQ(CommandLineArgs(nullptr), Args{});
}

TEST(CommandLine, EmptyQuotedPairsAreSkipped) {
    EXPECT_EQ(CommandLineArgs("lviehlp.exe \"\""), Args{});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe \"\" \"\"  \"\"\"\""), Args{});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe \"\" install"), Args{"install"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe \"\"install"), Args{"install"});
    // A lone quote at the end opens a stretch with nothing in it: an empty argument ends the count.
    EXPECT_EQ(CommandLineArgs("lviehlp.exe a \"\"\" b"), (Args{"a", " b"}));
    EXPECT_EQ(CommandLineArgs("lviehlp.exe a \""), Args{"a"});
}

TEST(CommandLine, QuotesJoinBlanksAnywhereInAnArgument) {
    EXPECT_EQ(CommandLineArgs("lviehlp.exe \"un install\""), Args{"un install"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe un\" \"install x"), (Args{"un install", "x"}));
    EXPECT_EQ(CommandLineArgs("lviehlp.exe in\"st\"all"), Args{"install"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe a\"\"b"), Args{"ab"});
    // An unbalanced quote runs to the end of the text, blanks and tabs included.
    EXPECT_EQ(CommandLineArgs("lviehlp.exe \"un install  now\t"), Args{"un install  now\t"});
    EXPECT_EQ(CommandLineArgs("lviehlp.exe x\"y z"), Args{"xy z"});
}

TEST(CommandLine, EveryByteFromOneTo32Separates) {
    for (int b = 1; b <= 32; ++b) {
        std::string line = "p";
        line += static_cast<char>(b);
        line += "one";
        line += static_cast<char>(b);
        line += static_cast<char>(b);
        line += "two";
        line += static_cast<char>(b);
        EXPECT_EQ(CommandLineArgs(line.c_str()), (Args{"one", "two"})) << "byte " << b;
    }
    // 0x7F and bytes above 0x80 are ordinary argument bytes.
    EXPECT_EQ(CommandLineArgs("p \x7F\x80\xFF"), Args{"\x7F\x80\xFF"});
    EXPECT_EQ(CommandLineArgs("   \t\r\n "), Args{});
    EXPECT_EQ(CommandLineArgs("p  \t\r\n "), Args{});
}

TEST(CommandLine, ProgramNameIsSkippedHoweverItIsWritten) {
    EXPECT_EQ(CommandLineArgs("\"C:\\Program Files\\Lorvane\\lviehlp.exe\" install"), Args{"install"});
    EXPECT_EQ(CommandLineArgs("  \"C:\\Program Files\\lviehlp.exe\""), Args{});
    EXPECT_EQ(CommandLineArgs("C:\\Pro\"gram Fil\"es\\lviehlp.exe uninstall"), Args{"uninstall"});
}

TEST(CommandLine, LongLines) {
    const std::string big(32 * 1024, 'a');
    std::string line = "p " + big + " " + big;
    Args args = CommandLineArgs(line.c_str());
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(args[0], big);
    EXPECT_EQ(args[1], big);
    const std::string blanks(32 * 1024, ' ');
    EXPECT_EQ(CommandLineArgs(("p" + blanks + "install" + blanks).c_str()), Args{"install"});
    EXPECT_EQ(CommandLineArgs(("p \"" + blanks).c_str()), Args{blanks});
}

TEST(CommandLine, DoubleByteCharactersAreSteppedOverWhole) {
    // 0x95 0x5C: one character whose second byte is '\'; the quoted program path stays one name.
    EXPECT_EQ(CommandLineArgs("\"C:\\Pro gram\\\x95\x5C\\lviehlp.exe\" install", SjisLead), Args{"install"});
    const char* quoteTrail = "\"C:\\Pro gram\\\x95\"dir\\lviehlp.exe\" install";
    EXPECT_EQ(CommandLineArgs(quoteTrail, SjisLead), Args{"install"});
    EXPECT_EQ(CommandLineArgs(quoteTrail), Args{});  // byte by byte the quote closes early
    // A second byte equal to '"' neither opens nor closes a quoted stretch...
    EXPECT_EQ(CommandLineArgs("p ab\x95\"cd ef", SjisLead), (Args{"ab\x95\"cd", "ef"}));
    EXPECT_EQ(CommandLineArgs("p \"a b\x95\"\" c", SjisLead), (Args{"a b\x95\"", "c"}));
    // ...and a second byte that is a blank does not end the argument.
    EXPECT_EQ(CommandLineArgs("p ab\x95 cd ef", SjisLead), (Args{"ab\x95 cd", "ef"}));
    // Read byte by byte, the same text splits differently.
    EXPECT_EQ(CommandLineArgs("p ab\x95\"cd ef"), Args{"ab\x95" "cd ef"});
    EXPECT_EQ(CommandLineArgs("p ab\x95 cd ef"), (Args{"ab\x95", "cd", "ef"}));
    // A lead byte at the very end has no second byte to take.
    EXPECT_EQ(CommandLineArgs("p install\x95", SjisLead), Args{"install\x95"});
}
