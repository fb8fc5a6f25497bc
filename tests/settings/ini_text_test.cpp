// Tests of the in-memory INI core.
// SPDX-License-Identifier: MIT
#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "settings/ini_file_text.h"

namespace {

using namespace std::string_literals;

struct RewriteCase {
  const char* name;
  std::string before, section, entry, value, after;
};

// Bytes that must survive untouched: an unknown section, NUL, 0xFF, tabs, a comment, blank
// lines, mixed line ends.
const std::string kOdd = "[Z]\t x \t=\t\0\xFF \r\n;[A]\n\n\r\xFF\0 junk\n\t\r\n"s;

TEST(RewriteEntry, ChangesOnlyTheEntry) {
  const RewriteCase rows[] = {
      {"ReplacesValueKeepingSpellingAndLineEnd", "[S]\r\n  Key = old=x ;c\nz=1\r\n", "s", "KEY",
       "new", "[S]\r\n  Key =new\nz=1\r\n"},
      {"AddsAmidOddBytes", kOdd + "[A]\r\n" + kOdd, "A", "k", "2", kOdd + "[A]\r\nk=2\r\n" + kOdd},
      {"AddsAfterLastEntryBeforeTrailingBlankAndComment",
       "[A]\r\na=1\r\nnot an entry\r\n\r\n\t;c=1\r\n[B]\r\n", "A", "n", "v",
       "[A]\r\na=1\r\nn=v\r\nnot an entry\r\n\r\n\t;c=1\r\n[B]\r\n"},
      {"AddsUnderHeaderOfSectionWithoutEntries", "k=0\n[A]\n;k=1\n[B]\n", "A", "k", "v",
       "k=0\n[A]\nk=v\n;k=1\n[B]\n"},
      {"EndsUnterminatedEntryLine", "[A]\na=1", "A", "n", "v", "[A]\na=1\nn=v\n"},
      {"AppendsSectionAfterMissingFinalLineEnd", "[A]\r\na=1", "B", "n", "v",
       "[A]\r\na=1\r\n[B]\r\nn=v\r\n"},
      {"UsesLoneCrOfTheFile", "[A]\ra=1\r", "B", "n", "v", "[A]\ra=1\r[B]\rn=v\r"},
      {"UsesFirstLineEndOfMixedFile", ";\n[A]\r\na=1\r", "A", "n", "v", ";\n[A]\r\na=1\rn=v\n"},
      {"TrimsNamesWritesValueVerbatim", "[A]\nk=1\n", " \vB\t", "n ", " \"v\" ",
       "[A]\nk=1\n[B]\nn= \"v\" \n"},
      {"FindsTrimmedNames", "[Sec]\nkey=1\n", "  Sec  ", "  key  ", "2", "[Sec]\nkey=2\n"},
      {"LeavesAlignedLineThatReadsAsTheValue", "[S]\nkey  =  \"same\"  \n", "S", "key", "same",
       "[S]\nkey  =  \"same\"  \n"}};
  for (const RewriteCase& c : rows) {
    EXPECT_EQ(ini::RewriteEntry(c.before, c.section, c.entry, c.value), c.after) << c.name;
  }
}

struct FindCase {
  const char* name;
  std::string file, section, entry;
  std::optional<std::string> value;
};

TEST(FindValue, ReadsAsTheProfileFunctionsDo) {
  const FindCase rows[] = {
      {"TrimsAndRemovesDoubleQuotes", "[A]\n \tk \t= \t\"a b\" \t\r", "A", "k", "a b"},
      {"TrimsVerticalTabs", "\v[A]\v\n\v\vk\v=\v1\v\n", "A", "k", "1"},
      {"RemovesSingleQuotes", "[A]\nk='a'\n", "A", "k", "a"},
      {"KeepsUnmatchedQuotes", "[A]\nk=\"a'\n", "A", "k", "\"a'"},
      {"CutsAtNul", "[A]\nk=ab\0cd\n"s, "A", "k", "ab"},
      {"ReadsMixedLineEnds", "[A]\rj=0\nx\r\nk=1\r", "A", "k", "1"},
      {"IgnoresComments", "[A]\n ;k=1\n", "A", ";k", std::nullopt},
      {"IgnoresEntriesAboveFirstHeader", "k=1\n[A]\n", "A", "k", std::nullopt},
      {"IgnoresLinesWithoutEquals", "[A]\nk\nk=2\n", "A", "k", "2"},
      {"SearchesFirstSectionOnly", "[A]\nx=1\n[a]\nk=2\n", "A", "k", std::nullopt},
      {"FirstEntryWins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
      {"IgnoresTextAfterBracket", " [ A ] x]=1\nk=1\n", "A", "k", "1"},
      {"HeaderWithoutBracket", "[A=1\nk=1\n", "A=1", "k", "1"},
      {"FoldsWindows1252Letters", "[\xC4\x8A\x8C\x8E\x9F]\nk=1\n", "\xE4\x9A\x9C\x9E\xFF", "K",
       "1"},
      {"DoesNotFoldSigns", "[\xD7]\nk=1\n", "\xF7", "k", std::nullopt},
      {"KeepsLongValues", "[A]\nk=" + std::string(300, 'x'), "A", "k", std::string(300, 'x')}};
  for (const FindCase& c : rows)
    EXPECT_EQ(ini::FindValue(c.file, c.section, c.entry), c.value) << c.name;
}

// A file in UTF-16 LE: the mark, then the text's code units, low byte first.
std::string Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text)
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

struct FileCase {
  const char* name;
  std::string before;
  std::string section, value;        // written to entry "k"
  std::optional<std::string> after;  // nullopt: refused, the file stays as it was
  std::optional<std::string> read;   // entry "K" of the file afterwards
};

TEST(WholeFile, KeepsTheFilesEncodingOrLeavesItAlone) {
  const FileCase rows[] = {
      {"Utf16LeKeepsMarkAndEveryOtherCharacter", Le(u"[S]\r\nk=alt\r\n;\u2192 \u00FC\U0001F600\n"),
       "s", "neu\u2192", Le(u"[S]\r\nk=neu\u2192\r\n;\u2192 \u00FC\U0001F600\n"), "neu\u2192"},
      {"Utf16LeEmptyAfterMark", "\xFF\xFE", "S", "v", Le(u"[S]\r\nk=v\r\n"), "v"},
      {"Utf8MarkThenHeaderAndFoldedName", "\xEF\xBB\xBF[\u00D6\u0160\u0152\u017D\u0178]\nk=1\n",
       "\u00F6\u0161\u0153\u017E\u00FF", "\u00E4",
       "\xEF\xBB\xBF[\u00D6\u0160\u0152\u017D\u0178]\nk=\u00E4\n", "\u00E4"},
      {"Windows1252GetsQuestionMarks", "[S]\n", "S", "a\u2192\u00FC", "[S]\nk=a?\xFC\n",
       "a?\u00FC"},
      {"Utf16BeIsLeftAlone", "\xFE\xFF\0[\0S\0]\0\n\0k\0=\0\x31"s, "S", "2", std::nullopt,
       std::nullopt},
      {"BrokenUtf8IsLeftAlone", "\xEF\xBB\xBF[S]\nk=\xC3(\n", "S", "2", std::nullopt, std::nullopt},
      {"OddUtf16IsLeftAlone", Le(u"[S]\nk=1\n") + "x", "S", "2", std::nullopt, std::nullopt},
      {"LoneSurrogateIsLeftAlone", Le(u"[S]\nk=\xD800\n"), "S", "2", std::nullopt, std::nullopt},
      {"LineBreakInValueIsRefused", "[S]\nk=1\n", "S", "2\r\n[T]", std::nullopt, "1"}};
  for (const FileCase& c : rows) {
    EXPECT_EQ(ini::WriteEntry(c.before, c.section, "k", c.value), c.after) << c.name;
    EXPECT_EQ(ini::ReadEntry(c.after.value_or(c.before), c.section, "K"), c.read) << c.name;
  }
}

// Names and values that would add lines or could never be found again.
TEST(WholeFile, RefusesNamesThatBreakLinesOrCannotBeFound) {
  const std::array<std::string_view, 3> rows[] = {
      {"S]", "k", "v"},  {"S", "[k", "v"},  {"S", ";k", "v"},  {"S", "k=", "v"}, {" \t", "k", "v"},
      {"S", " \v", "v"}, {"S\n", "k", "v"}, {"S", "k\r", "v"}, {"S", "k", "v\n"}};
  for (const auto& [section, entry, value] : rows) {
    EXPECT_EQ(ini::WriteEntry("[S]\nk=1\n", section, entry, value), std::nullopt)
        << section << "/" << entry << "/" << value;
  }
}

TEST(WholeFile, ValuesAreCutTo254CharactersNotBytes) {
  std::string cut;
  for (int i = 0; i < 254; ++i) cut += "\u00E4";
  EXPECT_EQ(ini::ReadEntry("[S]\nk=" + std::string(300, '\xE4'), "S", "k"), cut);
  EXPECT_EQ(ini::ReadEntry(Le(u"[S]\nk=" + std::u16string(300, u'\u00E4')), "S", "k"), cut);
}

TEST(ParseProfileInt, ParsesLikeThePlatform) {
  const std::pair<const char*, std::int32_t> rows[] = {
      {"12abc", 12},      {"abc", 0},
      {" \t-42", -42},    {"+7", 7},
      {"- 5", 0},         {"0x1Fg", 31},
      {"0X1F", 0},        {"-0x10", -16},
      {"0o17", 15},       {"0b101", 5},
      {"0b12", 1},        {"0x", 0},
      {"40000", 40000},   {"4294967295", -1},
      {"4294967296", 0},  {"2147483648", INT32_MIN},
      {"0xFFFFFFFF", -1}, {"0x123456789", 0x23456789}};
  for (const auto& [text, value] : rows) EXPECT_EQ(ini::ParseProfileInt(text), value) << text;
}

}  // namespace
