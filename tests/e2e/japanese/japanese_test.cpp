// Japanese folder and clip names through the real program under code page 932: the dialog
// browses into them, adds them and saves them in Shift-JIS, reads them back identical, and the
// saver and the preview play them. Several names end in a byte that is also "\" in Shift-JIS.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/control_ids.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;
constexpr DWORD kWindowWait = 15000;

// The clips folder and its sub-folder both end in 表 (0x95 0x5C): the folder's own "\" follows
// a trail byte of the same value.
constexpr wchar_t kClipsName[] = L"動画ソフト表";
constexpr wchar_t kSubName[] = L"予定表";
constexpr wchar_t kSubClip[] = L"十能.rm";
// Kanji, kana, full-width letters, and names made of characters whose second byte is "\".
const Texts kClipNames = {L"表.rm", L"ソフト.rm", L"ＡＢＣ十.rm", L"能予.rm"};

Texts Sorted(Texts texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

// The last entries of the directory list: the open folders' names end the path part, the
// sub-folders follow.
Texts Tail(const Texts& texts, size_t count) {
  return texts.size() < count ? texts
                              : Texts(texts.end() - static_cast<ptrdiff_t>(count), texts.end());
}

std::wstring LastName(const std::wstring& path) {
  return path.substr(path.find_last_of(L'\\') + 1);
}

// A program folder with a Japanese name holding the clips folder, its clips (real ones, so they
// play), a file that is no clip, and the sub-folder with one clip.
struct JapaneseTree {
  JapaneseTree() {
    clips = folder.Join(kClipsName);
    sub = clips + L"\\" + kSubName;
    EXPECT_TRUE(CreateDirectoryW(clips.c_str(), nullptr));
    EXPECT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    // The first one keeps playing long enough to be looked at; all are 160 x 120.
    for (size_t i = 0; i < kClipNames.size(); ++i) {
      Copy(i == 0 ? L"long.rm" : L"small.rm", clips + L"\\" + kClipNames[i]);
    }
    Copy(L"long.rm", sub + L"\\" + kSubClip);
    WriteFileBytes(clips + L"\\メモ表.txt", "not a clip");
  }
  static void Copy(const wchar_t* clip, const std::wstring& to) {
    EXPECT_TRUE(CopyFileW((ClipsFolder() + L"\\" + clip).c_str(), to.c_str(), FALSE)) << Narrow(to);
  }

  ProgramFolder folder{L"quorvane-表ソ"};
  std::wstring clips;
  std::wstring sub;
};

// What the browser and the playlist show, to compare one dialog with another.
struct DialogTexts {
  explicit DialogTexts(const DialogDriver& dialog)
      : folders(dialog.ListTexts(kIdDirSel)),
        folder_index(dialog.ListIndex(kIdDirSel)),
        files(dialog.ListTexts(kIdFilSel)),
        playlist(dialog.ListTexts(kIdLstPlay)) {}
  Texts folders;
  int folder_index;
  Texts files;
  Texts playlist;
};

// Counts the pixels of the window's client area that are not (nearly) black.
size_t LitPixels(HWND window) {
  size_t lit = 0;
  for (uint32_t pixel : ScreenPixels(window)) {
    if ((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF) >= 48) ++lit;
  }
  return lit;
}

TEST(JapaneseNames, TheSystemCodePageIsShiftJisWithBackslashTrailBytes) {
  ASSERT_EQ(GetACP(), 932u) << "run under scripts/wine-session (LANG=ja_JP.UTF-8)";
  struct Case {
    std::wstring text;
    std::string bytes;
  } cases[] = {
      {L"表", "\x95\x5C"}, {L"ソ", "\x83\x5C"}, {L"十", "\x8F\x5C"},
      {L"能", "\x94\x5C"}, {L"予", "\x97\x5C"}, {L"ＡＢＣ", "\x82\x60\x82\x61\x82\x62"},
  };
  for (const Case& c : cases) EXPECT_EQ(Ansi(c.text), c.bytes) << Narrow(c.text);
}

TEST(JapaneseNames, BrowsedAddedSavedInShiftJisReadBackAndPlayed) {
  JapaneseTree tree;
  const Texts sorted_clips = Sorted(kClipNames);
  Texts expected_playlist;
  std::unique_ptr<DialogTexts> before;
  {
    DialogDriver dialog(tree.folder);
    ASSERT_TRUE(dialog.Opened());
    // The dialog starts in the program's folder, its name shown whole.
    Texts folders = dialog.ListTexts(kIdDirSel);
    EXPECT_EQ(Tail(folders, 2), (Texts{LastName(tree.folder.Path()), kClipsName}));
    int into = FindText(folders, kClipsName);
    ASSERT_GE(into, 0);

    // Into the clips folder by a double click: every clip's name intact, the text file left out.
    dialog.DoubleClick(kIdDirSel, into);
    folders = dialog.ListTexts(kIdDirSel);
    EXPECT_EQ(Tail(folders, 3), (Texts{LastName(tree.folder.Path()), kClipsName, kSubName}));
    EXPECT_EQ(dialog.ListIndex(kIdDirSel), static_cast<int>(folders.size()) - 2);
    EXPECT_EQ(Sorted(dialog.ListTexts(kIdFilSel)), sorted_clips);
    for (const std::wstring& name : kClipNames) {
      int file = FindText(dialog.ListTexts(kIdFilSel), name);
      ASSERT_GE(file, 0) << Narrow(name);
      dialog.Select(kIdFilSel, file);
      dialog.Click(kIdCmdAdd);
      expected_playlist.push_back(tree.clips + L"\\" + name);
    }

    // Into the sub-folder by Enter; its clip, then the folder itself (no file selected).
    ASSERT_TRUE(dialog.TabTo(kIdDirSel));
    dialog.Select(kIdDirSel, FindText(dialog.ListTexts(kIdDirSel), kSubName));
    dialog.Key(VK_RETURN);
    folders = dialog.ListTexts(kIdDirSel);
    EXPECT_EQ(Tail(folders, 2), (Texts{kClipsName, kSubName}));
    EXPECT_EQ(dialog.ListIndex(kIdDirSel), static_cast<int>(folders.size()) - 1);
    ASSERT_EQ(dialog.ListTexts(kIdFilSel), Texts{kSubClip});
    dialog.Select(kIdFilSel, 0);
    dialog.Click(kIdCmdAdd);
    dialog.Select(kIdFilSel, -1);
    dialog.Click(kIdCmdAdd);
    expected_playlist.push_back(tree.sub + L"\\" + kSubClip);
    expected_playlist.push_back(tree.sub + L"\\");

    // Up to the clips folder by Enter on its entry, and down again by a double click.
    ASSERT_TRUE(dialog.TabTo(kIdDirSel));
    dialog.Select(kIdDirSel, static_cast<int>(folders.size()) - 2);
    dialog.Key(VK_RETURN);
    EXPECT_EQ(Sorted(dialog.ListTexts(kIdFilSel)), sorted_clips);
    dialog.DoubleClick(kIdDirSel, FindText(dialog.ListTexts(kIdDirSel), kSubName));
    ASSERT_EQ(dialog.ListTexts(kIdFilSel), Texts{kSubClip});

    EXPECT_EQ(dialog.ListTexts(kIdLstPlay), expected_playlist);
    before = std::make_unique<DialogTexts>(dialog);
    dialog.Click(kIdCmdOk);
    ASSERT_TRUE(dialog.Program().WaitForExit(10000));
  }

  // The file holds every name in Shift-JIS, the browser at the sub-folder.
  std::string expected = "ListDir  =c:\r\n" + Line("ListPath =", tree.sub) + kOptionLinesDefault;
  for (const std::wstring& entry : expected_playlist) expected += Line("PlayList =", entry);
  ASSERT_EQ(expected.find('?'), std::string::npos) << "a name is not in code page 932";
  EXPECT_EQ(tree.folder.ReadSettings().value_or("<none>"), expected);

  {
    DialogDriver dialog(tree.folder);
    ASSERT_TRUE(dialog.Opened());
    DialogTexts after(dialog);
    EXPECT_EQ(after.playlist, before->playlist);
    EXPECT_EQ(after.folders, before->folders);
    EXPECT_EQ(after.folder_index, before->folder_index);
    EXPECT_EQ(after.files, before->files);
    dialog.Click(kIdCmdCancel);
    ASSERT_TRUE(dialog.Program().WaitForExit(10000));
  }

  // The saver plays the first entry at x1.0.
  Process saver(tree.folder.Scr(), L"/s");
  HWND window = saver.WaitForWindow(L"QuorvaneSaver", L"Form1", kWindowWait);
  ASSERT_NE(window, nullptr);
  std::vector<HWND> children = Children(window, L"QuorvanePlayback");
  ASSERT_FALSE(children.empty());
  HWND component = children[0];
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(component) != FALSE; }, kWindowWait));
  EXPECT_EQ(TextOf(component), expected_playlist[0]);
  RECT rect = RectInParent(component);
  EXPECT_EQ(rect.right - rect.left, 160) << "the clip did not play";
  EXPECT_EQ(rect.bottom - rect.top, 120);
}

TEST(JapaneseNames, ThePreviewPlaysAClipInAFolderEndingInATrailByte) {
  JapaneseTree tree;
  tree.folder.WriteSettings(Line("ListPath =", tree.sub));
  DialogDriver dialog(tree.folder);
  ASSERT_TRUE(dialog.Opened());
  EXPECT_EQ(Tail(dialog.ListTexts(kIdDirSel), 3),
            (Texts{LastName(tree.folder.Path()), kClipsName, kSubName}));
  ASSERT_EQ(dialog.ListTexts(kIdFilSel), Texts{kSubClip});
  HWND preview = dialog.Item(kIdReaAudioPre);
  ASSERT_EQ(LitPixels(preview), 0u);

  dialog.DoubleClick(kIdFilSel, 0);
  EXPECT_EQ(TextOf(preview), tree.sub + L"\\" + kSubClip);
  // 160 x 120 fitted into the preview: about 145 x 109 pixels of picture.
  EXPECT_TRUE(WaitUntil([&] { return LitPixels(preview) > 8000; }, 10000))
      << LitPixels(preview) << " lit pixels";
  EXPECT_TRUE(dialog.ListTexts(kIdLstPlay).empty());
}

}  // namespace
}  // namespace quorvane::e2e
