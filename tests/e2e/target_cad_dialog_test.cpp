// The target CAD dialog opened from the main window, with the list file checked on disk.
#include <gtest/gtest.h>

#include "e2e/support/driver.h"
#include "e2e/support/screenshot.h"
#include "win32/wide_text.h"

namespace tesnova::e2e {
namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

class TargetCadDialogTest : public ::testing::Test {
 protected:
  std::filesystem::path ListFile() const { return program.folder() / "TargetCAD_APIVersion.txt"; }
  std::string List() const { return ReadBytes(ListFile()); }
  HWND OpenDialog(const char* button) {
    Click(Control(main, button));
    HWND dialog = WaitForTopWindow("ターゲット CAD", program.pid());
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }
  bool WaitHidden(HWND dialog) {
    return WaitUntil([&] { return !IsWindowVisible(dialog); });
  }
  // Starts the program beside a list file of these bytes and opens the dialog from the page
  // "CAD -> WinTopo"; nullptr when either does not come.
  HWND StartWithList(const std::string& bytes) {
    WriteBytes(ListFile(), bytes);
    main = program.Start("Tesnova 2026.01.13");
    return main ? OpenDialog("Button13") : nullptr;
  }
  // Cancels the dialog and closes the program.
  void CancelAndClose(HWND dialog) {
    Click(Control(dialog, "Button2"));
    EXPECT_TRUE(WaitHidden(dialog));
    EXPECT_TRUE(program.Close(main));
  }

  ProgramUnderTest program{BuiltProgram("Tesnova.exe")};
  HWND main = nullptr;
};

TEST_F(TargetCadDialogTest, AddChangeDeleteSaveAtOnceAndOkTakesTheFields) {
  WriteBytes(ListFile(), std::string(kBom) +
                             "ZWCAD 2024\tZWCAD.Application.2024\r\n"
                             "BaricsCAD V24\tBricscadApp.AcadApplication.24.0\r\n");
  main = program.Start("Tesnova 2026.01.13");
  ASSERT_NE(main, nullptr);

  HWND dialog = OpenDialog("Button13");
  ASSERT_NE(dialog, nullptr);
  HWND list = Control(dialog, "ListBox1");
  HWND name = Control(dialog, "Edit1");
  HWND progId = Control(dialog, "Edit2");
  // The dialog takes the stay-on-top state over.
  EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(main) && IsTopmost(dialog); }));
  // Sorted, and the entry of the current ProgID (with its version suffix) preselected.
  EXPECT_EQ(ListItems(list),
            (std::vector<std::string>{"BaricsCAD V24\tBricscadApp.AcadApplication.24.0",
                                      "ZWCAD 2024\tZWCAD.Application.2024"}));
  EXPECT_EQ(ListSelection(list), 0);
  EXPECT_EQ(WindowText(name), "BaricsCAD V24");
  EXPECT_EQ(WindowText(progId), "BricscadApp.AcadApplication.24.0");
  Sleep(300);
  EXPECT_TRUE(SaveWindowPng(dialog, "tesnova-target-cad.png"));

  // Add: saved at once, sorted, in the file's encoding.
  SetWindowTextTo(name, "IJCAD 2025");
  SetWindowTextTo(progId, "GcadApp.Application");
  Click(Control(dialog, "SpeedButton1"));
  const std::string added = std::string(kBom) +
                            "BaricsCAD V24\tBricscadApp.AcadApplication.24.0\r\n"
                            "IJCAD 2025\tGcadApp.Application\r\n"
                            "ZWCAD 2024\tZWCAD.Application.2024\r\n";
  EXPECT_TRUE(WaitUntil([&] { return List() == added; })) << List();
  EXPECT_EQ(ListSelection(list), 1);

  // Enter in the name field replaces the selected entry; the dialog stays open.
  SelectListItem(list, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(name) == "BaricsCAD V24"; }));
  SetWindowTextTo(name, "BaricsCAD V25");
  PressKey(name, VK_RETURN);
  const std::string changed = std::string(kBom) +
                              "BaricsCAD V25\tBricscadApp.AcadApplication.24.0\r\n"
                              "IJCAD 2025\tGcadApp.Application\r\n"
                              "ZWCAD 2024\tZWCAD.Application.2024\r\n";
  EXPECT_TRUE(WaitUntil([&] { return List() == changed; })) << List();
  EXPECT_TRUE(IsWindowVisible(dialog));

  // Deleting the last entry selects the one before it.
  SelectListItem(list, 2);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(name) == "ZWCAD 2024"; }));
  Click(Control(dialog, "SpeedButton2"));
  const std::string deleted = std::string(kBom) +
                              "BaricsCAD V25\tBricscadApp.AcadApplication.24.0\r\n"
                              "IJCAD 2025\tGcadApp.Application\r\n";
  EXPECT_TRUE(WaitUntil([&] { return List() == deleted; })) << List();
  EXPECT_EQ(ListSelection(list), 1);
  EXPECT_EQ(WindowText(name), "IJCAD 2025");

  // Cancel: the target stays, the saved changes stay, the main window is on top again.
  Click(Control(dialog, "Button2"));
  ASSERT_TRUE(WaitHidden(dialog));
  EXPECT_EQ(WindowText(main), "Tesnova 2026.01.13 [ BaricsCAD ]");
  EXPECT_TRUE(WaitUntil([&] { return IsTopmost(main) && !IsTopmost(dialog); }));
  EXPECT_EQ(List(), deleted);

  // OK takes the typed fields even when they were never added.
  Click(Control(main, "Tab2"));
  dialog = OpenDialog("Button3");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ListItems(list).size(), 2u);
  EXPECT_EQ(WindowText(name), "BaricsCAD V25");
  SetWindowTextTo(name, "MyCAD");
  SetWindowTextTo(progId, "My.Application");
  Click(Control(dialog, "Button1"));
  ASSERT_TRUE(WaitHidden(dialog));
  EXPECT_TRUE(WaitUntil(
      [&] { return WindowText(main) == "Tesnova 2026.01.13 [ MyCAD ]" && IsTopmost(main); }));
  EXPECT_EQ(List(), deleted);

  ASSERT_TRUE(program.Close(main));
  EXPECT_EQ(program.Setting("TargetCad", "ProgId"), "My.Application");
}

TEST_F(TargetCadDialogTest, WithoutAListTheFirstAddCreatesItInUtf16) {
  main = program.Start("Tesnova 2026.01.13");
  ASSERT_NE(main, nullptr);
  Click(Control(main, "Tab0"));
  HWND dialog = OpenDialog("Button14");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(ListItems(Control(dialog, "ListBox1")).empty());
  Click(Control(dialog, "SpeedButton2"));  // nothing selected: nothing to delete
  SetWindowTextTo(Control(dialog, "Edit1"), "José の図面 CAD");
  SetWindowTextTo(Control(dialog, "Edit2"), "Zumen.Application");
  Click(Control(dialog, "SpeedButton1"));
  // UTF-16LE with its mark: é is in no Japanese code page.
  const std::wstring line = L"\xFEFFJos\x00E9 \x306E\x56F3\x9762 CAD\tZumen.Application\r\n";
  const std::string expected(reinterpret_cast<const char*>(line.data()), line.size() * 2);
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(ListFile()) == expected; }))
      << ReadBytes(ListFile());
  Click(Control(dialog, "Button2"));
  ASSERT_TRUE(WaitHidden(dialog));
  ASSERT_TRUE(program.Close(main));
}

TEST_F(TargetCadDialogTest, Utf8ListWithoutAMarkIsReadAndKeptSo) {
  HWND dialog = StartWithList("図面 CAD\tZumen.Application\r\nZWCAD\tZWCAD.Application\r\n");
  ASSERT_NE(dialog, nullptr);
  HWND list = Control(dialog, "ListBox1");
  EXPECT_EQ(ListItems(list),
            (std::vector<std::string>{"ZWCAD\tZWCAD.Application", "図面 CAD\tZumen.Application"}));
  SetWindowTextTo(Control(dialog, "Edit1"), "設計 CAD");
  SetWindowTextTo(Control(dialog, "Edit2"), "Sekkei.Application");
  Click(Control(dialog, "SpeedButton1"));
  const std::string expected =
      "ZWCAD\tZWCAD.Application\r\n図面 CAD\tZumen.Application\r\n設計 CAD\tSekkei.Application\r\n";
  EXPECT_TRUE(WaitUntil([&] { return List() == expected; })) << List();
  CancelAndClose(dialog);
}

TEST_F(TargetCadDialogTest, EnterPressesTheFocusedButtonElseOk) {
  HWND dialog =
      StartWithList("ZWCAD 2024\tZWCAD.Application.2024\r\nIJCAD\tGcadApp.Application\r\n");
  ASSERT_NE(dialog, nullptr);
  HWND list = Control(dialog, "ListBox1");
  SelectListItem(list, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(Control(dialog, "Edit1")) == "IJCAD"; }));
  // Enter on "削除" deletes the selected entry.
  PressKey(Control(dialog, "SpeedButton2"), VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return List() == "ZWCAD 2024\tZWCAD.Application.2024\r\n"; }))
      << List();
  EXPECT_TRUE(IsWindowVisible(dialog));
  // Enter in the list is OK: the selected entry becomes the target.
  PressKey(list, VK_RETURN);
  ASSERT_TRUE(WaitHidden(dialog));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == "Tesnova 2026.01.13 [ ZWCAD 2024 ]"; }))
      << WindowText(main);
  ASSERT_TRUE(program.Close(main));
  EXPECT_EQ(program.Setting("TargetCad", "ProgId"), "ZWCAD.Application.2024");
}

// Where a row of the list shows its ProgID: the first ink after a gap wider than a space.
int ProgIdColumn(const ScreenArea& row, std::uint32_t background, int gap) {
  int x = 0, ink = -1;
  for (; x < row.width; ++x) {
    bool any = false;
    for (int y = 0; y < row.height; ++y) any |= row.at(x, y) != background;
    if (any) {
      if (ink >= 0 && x - ink > gap) return x;
      ink = x;
    }
  }
  return -1;
}

TEST_F(TargetCadDialogTest, ListShowsAlignedColumnsAndScrollsLongEntries) {
  HWND dialog = StartWithList(
      "A\tAlpha.Application\r\n"
      "Much longer CAD name\tBeta.Application\r\n"
      "Mid name\tGamma.Application\r\n");
  ASSERT_NE(dialog, nullptr);
  HWND list = Control(dialog, "ListBox1");
  ASSERT_EQ(ListItems(list).size(), 3u);
  ASSERT_EQ(ListSelection(list), -1);  // no row highlighted
  EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL) << "short entries need no bar";
  Sleep(300);

  // Every row's ProgID starts in the same column, right of the longest name.
  RECT client;
  GetClientRect(list, &client);
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&client), 2);
  int rowHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  std::vector<int> columns;
  for (int i = 0; i < 3; ++i) {
    // Inside the dotted focus frame that the list draws round its current row.
    RECT row{client.left + 2, client.top + i * rowHeight + 2, client.right - 2,
             client.top + (i + 1) * rowHeight - 2};
    columns.push_back(ProgIdColumn(CaptureScreenArea(row), RGB(20, 20, 20), 7));
  }
  // Glyphs begin their ink a pixel apart ("A", "B", "G"); a misplaced tab stop costs tens.
  EXPECT_GT(columns[0], 0);
  EXPECT_NEAR(columns[1], columns[0], 2) << "Much longer CAD name";
  EXPECT_NEAR(columns[2], columns[0], 2) << "Mid name";
  EXPECT_TRUE(SaveWindowPng(dialog, "tesnova-target-cad-columns.png"));
  Click(Control(dialog, "Button2"));
  ASSERT_TRUE(WaitHidden(dialog));

  // A ProgID longer than the list is wide: a horizontal scroll bar reaches its end.
  WriteBytes(ListFile(),
             "A\tAlpha.Application\r\n"
             "Long\tVendor.Product.Automation.Application.With.A.Very.Long.Version.2026.1\r\n");
  dialog = OpenDialog("Button13");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL) != 0; }));
  GetClientRect(list, &client);
  EXPECT_GT(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), client.right);
  Sleep(300);
  EXPECT_TRUE(SaveWindowPng(dialog, "tesnova-target-cad-scroll.png"));
  CancelAndClose(dialog);
}

TEST_F(TargetCadDialogTest, AListThatCannotBeSavedIsNamedOnALineOfItsOwn) {
  HWND dialog = StartWithList("ZWCAD\tZWCAD.Application\r\n");
  ASSERT_NE(dialog, nullptr);
  // Another program holds the file open without sharing it.
  HANDLE held = CreateFileW(ListFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SetWindowTextTo(Control(dialog, "Edit1"), "IJCAD");
  SetWindowTextTo(Control(dialog, "Edit2"), "GcadApp.Application");
  Click(Control(dialog, "SpeedButton1"));
  HWND box = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (box = FindMessageBox(program.pid())) != nullptr; }));
  CloseHandle(held);
  if (box) {
    Sleep(300);
    EXPECT_TRUE(SaveWindowPng(box, "tesnova-target-cad-error.png"));
    // The path alone on the first line, the sentence whole on the next.
    std::string texts = AllTexts(box);
    std::string path = WideToUtf8(ListFile().wstring());
    size_t at = texts.find(path + "\r\n");
    EXPECT_NE(at, std::string::npos) << texts;
    if (at != std::string::npos) {
      std::string sentence = texts.substr(at + path.size() + 2);
      sentence = sentence.substr(0, sentence.find('\n'));
      EXPECT_FALSE(sentence.empty()) << texts;
      EXPECT_EQ(sentence.find(path), std::string::npos) << texts;
    }
    ConfirmMessageBox(box);
  }
  // The list keeps the entry although it was not saved.
  EXPECT_TRUE(WaitUntil([&] { return ListItems(Control(dialog, "ListBox1")).size() == 2; }));
  CancelAndClose(dialog);
}

}  // namespace
}  // namespace tesnova::e2e
