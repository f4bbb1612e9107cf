// Shortcut files: the handheld's "<count>#<command line>" text, good and hostile.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/shellext/aygshell.h"
#include "platform/shellext/shortcut_text.h"
#include "tests/platform_files/device_folder.h"

namespace {

using platform::shellext::shortcutCommandLine;
using quill_test::DeviceFolderTest;

std::u16string commandLineOf(const std::string& bytes) {
  const auto text = shortcutCommandLine(bytes);
  return text ? *text : u"<none>";
}

TEST(ShortcutTextTest, TheHandheldsShortcutsReadAsTheirCommandLines) {
  EXPECT_EQ(commandLineOf("23#\"\\Windows\\iexplore.exe\""), u"\"\\Windows\\iexplore.exe\"");
  EXPECT_EQ(commandLineOf("21#\\windows\\solitare.exe"), u"\\windows\\solitare.exe");
  EXPECT_EQ(commandLineOf("40#\\Windows\\MyApp.exe parameter1 parameter2"), u"\\Windows\\MyApp.exe parameter1 parameter2");
  EXPECT_EQ(commandLineOf("27#\"\\My Documents\\Memo.txt\" -x\r\n"), u"\"\\My Documents\\Memo.txt\" -x");
  EXPECT_EQ(commandLineOf("\xEF\xBB\xBF" "6#\\a.txt"), u"\\a.txt");  // saved by a desktop editor
}

TEST(ShortcutTextTest, TheCountLimitsTheTextButNeverReachesPastIt) {
  EXPECT_EQ(commandLineOf("4#\\abcdef"), u"\\abc");
  EXPECT_EQ(commandLineOf("99#\\short"), u"\\short");
  EXPECT_EQ(commandLineOf("999999999#\\x"), u"\\x");
  EXPECT_EQ(commandLineOf("9#\\a\nnext line"), u"\\a");
  EXPECT_EQ(commandLineOf(std::string("9#\\a\0b", 6)), u"\\a");
}

TEST(ShortcutTextTest, TextIsUtf8OrElseWestern) {
  EXPECT_EQ(commandLineOf("13#\\B\xC3\xBC" "cher\\\xE6\x9C\xAC.txt"), u"\\Bücher\\本.txt");
  EXPECT_EQ(commandLineOf("9#\\caf\xE9.txt"), u"\\café.txt");  // not UTF-8: the Western code page
}

TEST(ShortcutTextTest, AnythingElseIsNotAShortcut) {
  for (const std::string& bytes : {std::string(), std::string("#\\x"), std::string("12"), std::string("12#"),
                                   std::string("0#\\x"), std::string("x12#\\a"), std::string(" 5#\\abcd"),
                                   std::string("1234567890#\\a"), std::string("3#\r\nabc"),
                                   std::string("\x89PNG\r\n\x1A\n", 8), std::string(100, '7')}) {
    EXPECT_FALSE(shortcutCommandLine(bytes).has_value()) << bytes;
  }
  EXPECT_FALSE(shortcutCommandLine("5#" + std::string(platform::shellext::kMaxShortcutFileBytes, 'a')).has_value());
}

class ShortcutFileTest : public DeviceFolderTest {};

TEST_F(ShortcutFileTest, TargetsAreReadThroughDevicePaths) {
  writeHostFile("My Documents/Card.lnk", "21#\"\\Storage Card\\Books\"");
  char16_t target[64];
  ASSERT_TRUE(SHGetShortcutTarget(u"\\My Documents\\Card.lnk", target, 64));
  EXPECT_EQ(std::u16string(target), u"\"\\Storage Card\\Books\"");
  ASSERT_TRUE(SHGetShortcutTarget(u"/my documents/CARD.LNK", target, 64));
}

TEST_F(ShortcutFileTest, ATargetThatDoesNotFitIsRefusedWhole) {
  writeHostFile("m.lnk", "10#\\Memo.txt");  // 9 units and the zero
  char16_t target[16];
  std::fill(std::begin(target), std::end(target), u'#');
  EXPECT_FALSE(SHGetShortcutTarget(u"\\m.lnk", target, 9));
  EXPECT_EQ(target[0], 0);
  EXPECT_EQ(target[9], u'#');  // nothing beyond maxCount
  EXPECT_TRUE(SHGetShortcutTarget(u"\\m.lnk", target, 10));
  EXPECT_EQ(std::u16string(target), u"\\Memo.txt");
  EXPECT_FALSE(SHGetShortcutTarget(u"\\m.lnk", target, 0));
  EXPECT_EQ(target[0], u'\\');  // a zero capacity is not written at all
}

TEST_F(ShortcutFileTest, FilesThatAreNotShortcutsGiveFalse) {
  writeHostFile("plain.lnk", "just some text");
  writeHostFile("huge.lnk", "5#\\abc" + std::string(64 * 1024, ' '));
  std::filesystem::create_directories(host("folder.lnk"));
  char16_t target[32] = {u'x'};
  EXPECT_FALSE(SHGetShortcutTarget(u"\\plain.lnk", target, 32));
  EXPECT_EQ(target[0], 0);
  EXPECT_FALSE(SHGetShortcutTarget(u"\\huge.lnk", target, 32));
  EXPECT_FALSE(SHGetShortcutTarget(u"\\folder.lnk", target, 32));
  EXPECT_FALSE(SHGetShortcutTarget(u"\\missing.lnk", target, 32));
  EXPECT_FALSE(SHGetShortcutTarget(nullptr, target, 32));
}

}  // namespace
