#include "tdictn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "privatemounts.h"
#include "tempdir.h"

namespace tessarin {
namespace {

using testing::TempDir;

std::string record(const std::string& word) {
    std::string r = "\x1E" + word;
    r.resize(15, ' ');
    return r;
}

std::string fileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(TDictn, SearchesTheBuiltInListInPlaceWritingNothing) {
    TempDir dir;
    {
        TDictn spell(dir.path());
        ASSERT_TRUE(spell.opened());
        EXPECT_TRUE(spell.IsWord("cat"));
        EXPECT_EQ(spell.records().data(), embeddedWordList().data());
        EXPECT_TRUE(spell.path().empty());
        EXPECT_EQ(spell.lastindex(), static_cast<std::int64_t>(embeddedWordList().size() / 15) - 1);
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(TDictn, EmbeddedListIsSortedRecordsOfTwoToFourteenLetters) {
    const auto list = embeddedWordList();
    ASSERT_EQ(list.size() % 15, 0u);
    std::string_view previous;
    for (std::size_t i = 0; i < list.size(); i += 15) {
        const std::string_view rec(list.data() + i, 15);
        ASSERT_EQ(rec[0], '\x1E') << i;
        const std::string_view word = rec.substr(1);
        const auto len = word.find_last_not_of(' ') + 1;
        ASSERT_GE(len, 2u) << word;
        for (std::size_t k = 0; k < 14; ++k)
            ASSERT_TRUE(k < len ? (word[k] >= 'A' && word[k] <= 'Z') : word[k] == ' ') << word;
        ASSERT_LT(previous, word);
        previous = word;
    }
}

TEST(TDictn, AnswersLikeTheWordList) {
    TempDir dir;
    TDictn spell(dir.path());
    struct Case {
        std::string text;  // owned: a case may be built from a temporary string
        bool word;
    };
    const Case cases[] = {
        {"cat", true},
        {"CAT", true},
        {"CaT", true},
        {"  cat  ", true},
        {"act", true},
        {"ta", true},
        {"at", true},
        {"tot", true},
        {"to", true},
        {"tac", false},
        {"tca", false},
        {"atc", false},
        {"cta", false},
        {"t", false},
        {"", false},
        {"     ", false},
        {"aa", true},
        {"zzzs", true},
        {"ca t", false},
        {"xqzj", false},
        {std::string(15, 'a'), false},
        {"pneumonoultramicroscopic", false},
    };
    for (const auto& c : cases) EXPECT_EQ(spell.IsWord(c.text), c.word) << '"' << c.text << '"';
    EXPECT_TRUE(spell.IsWord(std::string("cat\0\0", 5)));
}

TEST(TDictn, AgreesWithAnInMemorySearchOfTheSameList) {
    TempDir dir;
    TDictn spell(dir.path());
    const auto list = embeddedWordList();
    std::vector<std::string> words;
    for (std::size_t i = 0; i < list.size(); i += 15) {
        std::string w(list.data() + i + 1, 14);
        w.erase(w.find_last_not_of(' ') + 1);
        words.push_back(w);
    }
    int checked = 0;
    for (const auto& w : words) {
        if (w.size() <= 6 && ++checked % 7 == 0) {
            ASSERT_TRUE(spell.IsWord(w)) << w;
        }
    }
    std::uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        std::string w;
        const int length = 2 + static_cast<int>((seed = seed * 1103515245u + 12345u) >> 16) % 5;
        for (int k = 0; k < length; ++k)
            w += static_cast<char>('A' + ((seed = seed * 1103515245u + 12345u) >> 16) % 26);
        ASSERT_EQ(spell.IsWord(w), std::binary_search(words.begin(), words.end(), w)) << w;
    }
}

TEST(TDictn, FindsFirstAndLastRecordsOfAnyList) {
    TempDir dir;
    const std::string list = record("ABA") + record("ABACA") + record("CAT") + record("ZYMURGY");
    TDictn spell(dir.path(), list);
    for (const char* w : {"aba", "abaca", "cat", "zymurgy"}) EXPECT_TRUE(spell.IsWord(w)) << w;
    for (const char* w : {"ab", "abac", "aaa", "zz", "zymurgys"})
        EXPECT_FALSE(spell.IsWord(w)) << w;
}

TEST(TDictn, FourteenLetterRecordsMatchOnlyFourteenLetterKeys) {
    TempDir dir;
    const std::string list = record("ABCDEFGHIJKLMN");
    TDictn spell(dir.path(), list);
    EXPECT_TRUE(spell.IsWord("abcdefghijklmn"));
    EXPECT_FALSE(spell.IsWord("abcdefghijklmno"));
}

TEST(TDictn, APlayersOwnListIsUsedAsItStandsAndKept) {
    TempDir dir;
    const auto path = dir.path() / "English";
    const std::string mine = record("QAT") + record("ZO");
    std::ofstream(path, std::ios::binary) << mine;
    {
        TDictn spell(dir.path());
        EXPECT_TRUE(spell.IsWord("qat"));
        EXPECT_TRUE(spell.IsWord("zo"));
        EXPECT_FALSE(spell.IsWord("cat"));
        EXPECT_EQ(spell.path(), path);
        EXPECT_EQ(spell.refusal(), "");
    }
    EXPECT_EQ(fileText(path), mine);
}

// A file that is not a well-formed list is named with its fault, left as it is, and the
// built-in list answers instead.
TEST(TDictn, AMalformedListIsRefusedForTheBuiltInOne) {
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"truncated", record("ANT") + record("BEE") + record("CAT").substr(0, 9),
         "its size, 39 bytes, is not a whole number of 15-byte records"},
        {"unsorted", record("ANT") + record("CAT") + record("BEE"),
         "its words are not in order (record 3 does not sort after the one above it)"},
        {"repeated", record("ANT") + record("BEE") + record("bee"),
         "its words are not in order (record 3 does not sort after the one above it)"},
        // Refused by its size, before a byte is read.
        {"too large", std::string((TDictn::kMaxFileWords + 1) * TDictn::recsize, ' '),
         "is too large: it holds more than 600000 words"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const auto path = dir.path() / "English";
        std::ofstream(path, std::ios::binary) << c.bytes;
        {
            TDictn spell(dir.path());
            EXPECT_NE(spell.refusal().find(path.string()), std::string::npos) << c.name;
            EXPECT_NE(spell.refusal().find(c.reason), std::string::npos) << spell.refusal();
            EXPECT_NE(spell.refusal().find("the built-in word list is used"), std::string::npos);
            EXPECT_TRUE(spell.path().empty()) << c.name;
            EXPECT_TRUE(spell.IsWord("cat")) << c.name;
        }
        EXPECT_EQ(fileText(path), c.bytes) << c.name;
    }
}

TEST(TDictn, EmptyListFileAnswersFalse) {
    TempDir dir;
    std::ofstream(dir.path() / "English", std::ios::binary);
    TDictn spell(dir.path());
    EXPECT_TRUE(spell.opened());
    EXPECT_EQ(spell.refusal(), "");
    EXPECT_FALSE(spell.IsWord("cat"));
}

TEST(TDictn, AnUnreadableListIsRefusedForTheBuiltInOne) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "English");
    TDictn spell(dir.path());
    EXPECT_NE(spell.refusal().find("cannot be read"), std::string::npos) << spell.refusal();
    EXPECT_TRUE(spell.IsWord("cat"));
}

TEST(TDictn, AMissingFolderStillHasTheBuiltInList) {
    TempDir dir;
    TDictn spell(dir.path() / "nowhere");
    EXPECT_TRUE(spell.opened());
    EXPECT_TRUE(spell.IsWord("cat"));
}

TEST(TDictn, WithoutAnyListEveryWordIsFalse) {
    TempDir dir;
    TDictn spell(dir.path(), {});
    EXPECT_FALSE(spell.opened());
    EXPECT_FALSE(spell.IsWord("cat"));
}

TEST(TDictn, Normalise) {
    EXPECT_EQ(TDictn::normalise(" cat "), "CAT            ");
    EXPECT_EQ(TDictn::normalise(std::string("\0ab\0", 4)), "AB             ");
    EXPECT_EQ(TDictn::normalise("   "), "");
    EXPECT_EQ(TDictn::normalise("a b"), "A B            ");
    EXPECT_EQ(TDictn::normalise("abcdefghijklmnopq"), "ABCDEFGHIJKLMNOPQ");
}

}  // namespace
}  // namespace tessarin
