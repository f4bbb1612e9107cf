// The open-file dialog: the request's checks, the answer written as a device path, and the
// desktop dialog itself with its filters and starting folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>
#include <filesystem>
#include <string>

#include "platform/system/commdlg.h"
#include "platform/system/files/device_paths.h"
#include "platform/testing/test_hooks.h"
#include "tests/platform_files/device_folder.h"

namespace {

using platform::testing::OpenFileResponder;
using platform::testing::ScopedHook;
using platform::testing::setOpenFileResponder;
using quill_test::DeviceFolderTest;

// The viewer's filter list: four pairs and the closing zero.
constexpr char16_t kFilters[] =
    u"Document File\0*.txt;*.prc;*.pdb;*.doc;*.psw\0Text File(*.txt)\0*.txt\0Palm Doc(*.pdb,*.prc)\0*.prc;*.pdb\0"
    u"All File(*.*)\0*.*\0";

class OpenFileDialogTest : public DeviceFolderTest {
 protected:
  OPENFILENAME request(LPWSTR buffer, DWORD capacity) {
    OPENFILENAME ofn{};
    ofn.lStructSize = 76;
    ofn.lpstrFilter = kFilters;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = capacity;
    ofn.Flags = OFN_FILEMUSTEXIST;
    return ofn;
  }
};

TEST_F(OpenFileDialogTest, TheChosenPathIsWrittenWithItsTerminator) {
  const std::u16string chosen = u"\\My Documents\\book.pdb";
  std::u16string seenFilter;
  ScopedHook<OpenFileResponder> hook(setOpenFileResponder, [&](const OPENFILENAME& ofn) {
    seenFilter = ofn.lpstrFilter;
    return chosen;
  });
  char16_t path[1024];
  std::fill(std::begin(path), std::end(path), u'#');
  OPENFILENAME ofn = request(path, 256);
  EXPECT_TRUE(GetOpenFileName(&ofn));
  EXPECT_EQ(std::u16string(path), chosen);
  EXPECT_EQ(path[chosen.size() + 1], u'#');
  EXPECT_EQ(seenFilter, u"Document File");
  EXPECT_EQ(ofn.nFileOffset, 14);
  EXPECT_EQ(ofn.nFileExtension, 19);
}

TEST_F(OpenFileDialogTest, APathThatDoesNotFitIsRefusedNotCut) {
  const std::u16string chosen = u"\\My Documents\\" + std::u16string(300, u'a') + u".txt";
  ScopedHook<OpenFileResponder> hook(setOpenFileResponder, [&](const OPENFILENAME&) { return chosen; });
  char16_t path[1024];
  std::fill(std::begin(path), std::end(path), u'#');
  OPENFILENAME ofn = request(path, 256);
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(path[0], 0);
  EXPECT_EQ(path[1], u'#');
  // Exactly fitting, terminator included, is fine.
  ofn = request(path, static_cast<DWORD>(chosen.size() + 1));
  EXPECT_TRUE(GetOpenFileName(&ofn));
  ofn = request(path, static_cast<DWORD>(chosen.size()));
  EXPECT_FALSE(GetOpenFileName(&ofn));
}

TEST_F(OpenFileDialogTest, CancelAndMalformedRequestsGiveZero) {
  int asked = 0;
  ScopedHook<OpenFileResponder> hook(setOpenFileResponder, [&](const OPENFILENAME&) {
    ++asked;
    return std::u16string();
  });
  char16_t path[256] = {};
  OPENFILENAME ofn = request(path, 256);
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(asked, 1);
  ofn.lStructSize = static_cast<DWORD>(sizeof(OPENFILENAME));  // this host's size is not the record's size
  EXPECT_FALSE(GetOpenFileName(&ofn));
  ofn = request(nullptr, 256);
  EXPECT_FALSE(GetOpenFileName(&ofn));
  ofn = request(path, 0);
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_FALSE(GetOpenFileName(nullptr));
  EXPECT_EQ(asked, 1);  // malformed requests never reach the person
}

// The desktop dialog itself, on the offscreen desktop: it starts in "\My Documents" with the
// first filter, matches patterns without regard to case, and returns a device path.
TEST_F(OpenFileDialogTest, TheDesktopDialogStartsInMyDocumentsWithTheFirstFilter) {
  writeHostFile("My Documents/BOOK.PDB", "x");
  writeHostFile("My Documents/notes.c", "x");
  QString startFolder;
  QStringList filters;
  QString selectedFilter;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    startFolder = dialog->directory().absolutePath();
    filters = dialog->nameFilters();
    selectedFilter = dialog->selectedNameFilter();
    dialog->selectFile(QStringLiteral("BOOK.PDB"));
    QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);  // as the Open button does
  });
  char16_t path[256] = {};
  OPENFILENAME ofn = request(path, 256);
  ASSERT_TRUE(GetOpenFileName(&ofn));
  EXPECT_EQ(std::u16string(path), u"\\My Documents\\BOOK.PDB");
  EXPECT_EQ(startFolder.toStdString(), host("My Documents"));
  ASSERT_EQ(filters.size(), 4);
  EXPECT_EQ(filters[0], QStringLiteral("Document File (*.txt *.prc *.pdb *.doc *.psw)"));
  EXPECT_EQ(filters[2], QStringLiteral("Palm Doc(*.pdb,*.prc) (*.prc *.pdb)"));
  EXPECT_EQ(selectedFilter, filters[0]);

  QTimer::singleShot(0, [] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  path[0] = 0;
  ofn = request(path, 256);
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(path[0], 0);
}

}  // namespace
