// The Win32 main window in-process: its layout against the window description, the
// controls binding on both threads, do_events, and a search, a download and the About box
// driven through the real controls against the sample sites.
#include <windows.h>
// commctrl.h needs the types windows.h declares.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/controller.hpp"
#include "app/interface_thread.hpp"
#include "app/win32/command_binding.hpp"
#include "app/win32/main_window.hpp"
#include "app/win32/win32_controls.hpp"
#include "app/win32/win32_shell.hpp"
#include "app/window_description.hpp"
#include "books/epub_status_texts.hpp"
#include "books/status_texts.hpp"
#include "download/status_texts.hpp"
#include "tests/support/app/failing_controls.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/temp_folder.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::app::win32 {
namespace {

// The description's GBK converted the way a Chinese Windows would show it.
std::wstring gbk_to_wide(std::string_view gbk) {
  if (gbk.empty()) return {};
  std::wstring out(gbk.size(), L'\0');
  const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(),
                                    static_cast<int>(out.size()));
  out.resize(static_cast<size_t>(n));
  return out;
}

std::wstring text_of(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

std::wstring class_of(HWND window) {
  wchar_t buffer[128] = {};
  GetClassNameW(window, buffer, 128);
  return buffer;
}

std::wstring status_part(HWND bar, int part) {
  wchar_t buffer[512] = {};
  const LRESULT length = SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0);
  if (LOWORD(length) >= 512) return L"<too long>";
  SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::wstring cell_of(HWND list, int row, int column) {
  wchar_t buffer[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

RECT place_in_parent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// EnumChildWindows callback: the last non-empty static text of a dialog (a message box's
// message).
BOOL CALLBACK keep_static_text(HWND child, LPARAM found) {
  if (_wcsicmp(class_of(child).c_str(), L"Static") == 0 && !text_of(child).empty())
    *reinterpret_cast<std::wstring*>(found) = text_of(child);
  return TRUE;
}

LONG style_of(HWND window) {
  return GetWindowLongW(window, GWL_STYLE);
}

void pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Pumps messages until done() holds; the limit only keeps a broken build from hanging.
template <typename Done, typename Each>
bool pump_until(Done done, Each each_round) {
  const ULONGLONG give_up = GetTickCount64() + 120000;
  while (!done()) {
    if (GetTickCount64() > give_up) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    pump();
    each_round();
  }
  return true;
}

class MainWindowTest : public ::testing::Test {
 protected:
  // One set of sample sites serves every test; they keep no state between requests.
  static void SetUpTestSuite() { sites_ = new sample_sites::SampleSites(); }
  static void TearDownTestSuite() {
    delete sites_;
    sites_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(window_.load_window(description_));
    controller_ = std::make_unique<Controller>(controls_, shell_, sites_->config(),
                                               WideToGbk(directory_.path().wstring()));
    bind_commands(window_, *controller_);
  }

  static std::string WideToGbk(const std::wstring& wide) {
    std::string out(wide.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()),
                                      out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(n));
    return out;
  }

  HWND control(std::string_view name) { return window_.control(name); }
  HWND list() { return control(names::kResultList); }
  std::wstring status() { return status_part(control(names::kStatusBar), 1); }
  bool busy_controls_enabled(bool enabled) {
    for (auto name : {names::kSearchButton, names::kGenerateButton, names::kSourceCombo})
      if ((IsWindowEnabled(control(name)) != FALSE) != enabled) return false;
    return true;
  }
  void search(int source, const wchar_t* word) {
    SendMessageW(control(names::kSourceCombo), CB_SETCURSEL, source, 0);
    SetWindowTextW(control(names::kSearchEdit), word);
    SendMessageW(control(names::kSearchButton), BM_CLICK, 0, 0);
  }
  int row_named(const wchar_t* name, std::string_view address_part) {
    const int rows = static_cast<int>(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row)
      if (cell_of(list(), row, 1) == name &&
          controls_.list_get_cell(row, 0).find(address_part) != std::string::npos)
        return row;
    return -1;
  }

  // Picks the row as the user would and clicks 按钮2. The download runs on its worker
  // while this thread keeps handling messages, moving the window and scrolling the list.
  // epub: whether 同时生成EPUB is checked, so the EPUB appears beside the TXT.
  void download_and_compare(int row, const std::string& name, const char* golden_stem,
                            bool epub = false) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    SendMessageW(control(names::kGenerateButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(busy_controls_enabled(false));
    int round = 0;
    ASSERT_TRUE(pump_until([&] { return busy_controls_enabled(true); },
                           [&] {
                             ++round;
                             SetWindowPos(window_.handle(), nullptr, 40 + round % 20, 40, 0, 0,
                                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                             SendMessageW(list(), LVM_SCROLL, 0, (round % 2) ? 8 : -8);
                           }));
    EXPECT_EQ(status(), gbk_to_wide(books::written_line(name, 0) +
                                    std::string(epub ? books::kEpubAlsoWritten : "")));
    // The cell's counting is the controller's, tested there; here, the window shows its end.
    EXPECT_EQ(cell_of(list(), row, 4), L"已完成");
    EXPECT_EQ(std::filesystem::exists(directory_.path() / (gbk_to_wide(name) + L".epub")), epub);
    const std::string golden = test_support::golden_book(golden_stem);
    ASSERT_FALSE(golden.empty());
    const std::string book =
        test_support::file_bytes(directory_.path() / (gbk_to_wide(name) + L".txt"));
    EXPECT_EQ(book.size(), golden.size());
    EXPECT_TRUE(book == golden);
  }

  const WindowDescription& description_ = main_window_description();
  test_support::TempFolder directory_{"window"};
  static inline sample_sites::SampleSites* sites_ = nullptr;
  MainWindow window_{false};
  Win32Controls controls_{window_};
  Win32Shell shell_;
  std::unique_ptr<Controller> controller_;
};

TEST_F(MainWindowTest, FrameAndMenuFollowTheDescription) {
  HWND main = window_.handle();
  EXPECT_EQ(text_of(main), L"Quillreap V1.1 - Tarnwick");
  RECT outer;
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.right - outer.left, 491);
  EXPECT_EQ(outer.bottom - outer.top, 369);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1);
  EXPECT_LE(std::abs((outer.top - work.top) - (work.bottom - outer.bottom)), 1);

  const LONG style = style_of(main);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(IsWindowVisible(main));

  HMENU bar = GetMenu(main);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  wchar_t caption[64] = {};
  GetMenuStringW(bar, 0, caption, 64, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"菜单");
  HMENU items = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(items), 8);
  const wchar_t* captions[] = {L"检测更新", L"关于",     L"",           L"同时生成EPUB",
                               L"",         L"我的书架", L"检查新章节", L"更新全部书籍"};
  for (int i = 0; i < 8; ++i) {
    caption[0] = L'\0';
    GetMenuStringW(items, i, caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, captions[i]);
    EXPECT_EQ((GetMenuState(items, i, MF_BYPOSITION) & MF_SEPARATOR) != 0, !*captions[i]);
  }
  EXPECT_FALSE(GetMenuState(items, 3, MF_BYPOSITION) & MF_CHECKED);  // unchecked at start
}

TEST_F(MainWindowTest, EveryControlHasItsClassContainerPlaceCaptionAndStyle) {
  HFONT gui_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (size_t index = 0; index < description_.controls.size(); ++index) {
    const ControlDescription& described = description_.controls[index];
    SCOPED_TRACE(testing::Message() << "control " << index);
    HWND handle = control(described.name);
    ASSERT_NE(handle, nullptr);
    HWND container = described.container.empty() ? window_.handle() : control(described.container);
    EXPECT_EQ(GetParent(handle), container);
    EXPECT_EQ(IsWindowVisible(handle) != FALSE, described.visible);
    EXPECT_EQ(IsWindowEnabled(handle) != FALSE, described.enabled);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)), gui_font);

    const RECT place = place_in_parent(handle);
    if (described.kind != ControlKind::kStatusBar) {
      EXPECT_EQ(place.left, described.left);
      EXPECT_EQ(place.top, described.top);
      EXPECT_EQ(place.right - place.left, described.width);
      EXPECT_EQ(place.bottom - place.top, described.height);  // a drop-down: its closed field
    }
    const LONG style = style_of(handle);
    const std::wstring cls = class_of(handle);
    switch (described.kind) {
      case ControlKind::kGroupBox:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"Button"), 0);
        EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        EXPECT_EQ(text_of(handle), gbk_to_wide(described.caption));
        break;
      case ControlKind::kLabel:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"Static"), 0);
        EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
        EXPECT_EQ(text_of(handle), L"小说名:");
        break;
      case ControlKind::kEdit:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"Edit"), 0);
        EXPECT_EQ(text_of(handle), L"");
        EXPECT_GE(static_cast<DWORD>(SendMessageW(handle, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
        EXPECT_EQ((style & ES_MULTILINE) != 0, described.multiline);
        if (described.multiline) {
          EXPECT_TRUE(style & ES_AUTOVSCROLL);
          EXPECT_TRUE(style & ES_WANTRETURN);
          EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL));  // lines wrap
        }
        break;
      case ControlKind::kDropDown: {
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"ComboBox"), 0);
        EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
        EXPECT_FALSE(style & CBS_SORT);
        ASSERT_EQ(SendMessageW(handle, CB_GETCOUNT, 0, 0), 2);
        wchar_t item[32] = {};
        SendMessageW(handle, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, L"源站①");
        SendMessageW(handle, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, L"源站②");
        EXPECT_EQ(SendMessageW(handle, CB_GETCURSEL, 0, 0), 0);
        // Its container passes the colour request on; the answer is white.
        HDC dc = GetDC(handle);
        EXPECT_EQ(SendMessageW(container, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(handle)),
                  reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(handle, dc);
        break;
      }
      case ControlKind::kButton:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"Button"), 0);
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
        EXPECT_EQ(text_of(handle), gbk_to_wide(described.caption));
        break;
      case ControlKind::kListView: {
        EXPECT_EQ(cls, L"SysListView32");
        EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_TRUE(style & LVS_SINGLESEL);
        EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
        EXPECT_FALSE(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_NOCOLUMNHEADER));
        const LRESULT extended = SendMessageW(handle, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
        EXPECT_FALSE(extended & LVS_EX_GRIDLINES);
        EXPECT_EQ(SendMessageW(handle, LVM_GETITEMCOUNT, 0, 0), 0);
        HWND header = reinterpret_cast<HWND>(SendMessageW(handle, LVM_GETHEADER, 0, 0));
        ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0),
                  static_cast<LRESULT>(description_.columns.size()));
        for (size_t i = 0; i < description_.columns.size(); ++i) {
          wchar_t title[32] = {};
          LVCOLUMNW column{};
          column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
          column.pszText = title;
          column.cchTextMax = 32;
          ASSERT_TRUE(SendMessageW(handle, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
          EXPECT_EQ(title, gbk_to_wide(description_.columns[i].title));
          EXPECT_EQ(column.cx, description_.columns[i].width);
          EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        }
        break;
      }
      case ControlKind::kStatusBar: {
        EXPECT_EQ(cls, L"msctls_statusbar32");
        RECT client;
        GetClientRect(container, &client);
        EXPECT_EQ(place.left, 0);
        EXPECT_EQ(place.right, client.right);    // the whole width
        EXPECT_EQ(place.bottom, client.bottom);  // on the bottom edge
        int edges[4] = {};
        ASSERT_EQ(SendMessageW(handle, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
        EXPECT_EQ(edges[0], 50);
        EXPECT_EQ(edges[1], -1);
        EXPECT_EQ(status_part(handle, 0), L"提示:");
        EXPECT_EQ(status_part(handle, 1), L"");
        break;
      }
    }
  }
}

TEST_F(MainWindowTest, ControlsKeepExactBytesAndReadTheWindow) {
  // Cells hand back exactly the bytes set and show their Chinese.
  ASSERT_EQ(controls_.list_append_row(), 0);
  ASSERT_EQ(controls_.list_append_row(), 1);
  controls_.list_set_cell(1, 1, "西游记");
  const std::string odd = "a\x81\x30z\xFF";  // not all of it maps to UTF-16 and back
  controls_.list_set_cell(1, 2, odd);
  controls_.list_set_cell(7, 0, "no such row");
  EXPECT_EQ(cell_of(list(), 1, 1), L"西游记");
  EXPECT_EQ(controls_.list_get_cell(1, 1), "西游记");
  EXPECT_EQ(controls_.list_get_cell(1, 2), odd);
  EXPECT_EQ(controls_.list_get_cell(-1, 0), "");
  EXPECT_EQ(controls_.list_get_cell(1, 5), "");

  EXPECT_EQ(controls_.list_selected_row(), -1);
  controls_.list_select_row(1);
  EXPECT_EQ(controls_.list_selected_row(), 1);
  controls_.list_select_row(0);  // single selection: row 1 lets go
  EXPECT_EQ(SendMessageW(list(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
  EXPECT_EQ(controls_.list_selected_row(), 0);
  controls_.list_select_row(-1);
  EXPECT_EQ(controls_.list_selected_row(), -1);
  controls_.list_clear();
  EXPECT_EQ(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(controls_.list_get_cell(1, 1), "");

  // The book buffer is bytes, not the hidden edit box's text.
  controls_.append_log("第一回\r\n");
  controls_.append_log(std::string("\xA1\xA1", 2));
  EXPECT_EQ(controls_.log_text(), "第一回\r\n\xA1\xA1");
  EXPECT_EQ(text_of(control(names::kLogBox)), L"");
  controls_.log_clear();
  EXPECT_EQ(controls_.log_text(), "");

  controls_.set_status("搜索完成!");
  EXPECT_EQ(status(), L"搜索完成!");
  EXPECT_EQ(status_part(control(names::kStatusBar), 0), L"提示:");
  controls_.set_status("");
  EXPECT_EQ(status(), L"");

  // What the user typed comes back as GBK, untrimmed.
  SetWindowTextW(control(names::kSearchEdit), L" 三国 ");
  EXPECT_EQ(controls_.search_word(), " 三国 ");
  EXPECT_EQ(controls_.source_choice(), 0);
  SendMessageW(control(names::kSourceCombo), CB_SETCURSEL, 1, 0);
  EXPECT_EQ(controls_.source_choice(), 1);

  controls_.set_busy(true);
  EXPECT_TRUE(busy_controls_enabled(false));
  EXPECT_TRUE(IsWindowEnabled(control(names::kSearchEdit)));
  controls_.set_busy(false);
  EXPECT_TRUE(busy_controls_enabled(true));
}

TEST_F(MainWindowTest, WorkerCallsAreCarriedOutOnTheInterfaceThread) {
  std::atomic<bool> done{false};
  std::string read_back, word;
  int row = -2;
  SetWindowTextW(control(names::kSearchEdit), L"水浒");
  std::thread worker([&] {
    controls_.set_busy(true);
    row = controls_.list_append_row();
    controls_.list_set_cell(row, 0, "http://x/1001/");
    controls_.list_select_row(row);
    read_back = controls_.list_get_cell(controls_.list_selected_row(), 0);
    controls_.append_log("章节");
    controls_.set_status("正在处理");
    word = controls_.search_word();
    done = true;
  });
  // The worker blocks in each call until this thread handles its message.
  EXPECT_TRUE(pump_until([&] { return done.load(); }, [] {}));
  worker.join();
  EXPECT_EQ(row, 0);
  EXPECT_EQ(read_back, "http://x/1001/");
  EXPECT_EQ(word, "水浒");
  EXPECT_EQ(controls_.log_text(), "章节");
  EXPECT_EQ(status(), L"正在处理");
  EXPECT_TRUE(busy_controls_enabled(false));
}

// The window saves the book from its buffer itself: the file writer is handed the buffer's
// own bytes, not a copy of them, which a 32-bit program cannot spare for a large book.
TEST_F(MainWindowTest, TheBookIsSavedFromItsBufferWithoutASecondCopy) {
  const std::string chapter(4096, '\xB5');
  for (int i = 0; i < 64; ++i) controls_.append_log(chapter);
  const char* handed = nullptr;
  controls_.set_file_writer([&](std::string_view, std::string_view bytes) {
    handed = bytes.data();
    return bytes.size() == 64 * chapter.size();
  });
  std::atomic<bool> done{false};
  bool written = false;
  std::thread worker([&] {
    written = controls_.write_log_file("book.txt");
    done = true;
  });
  EXPECT_TRUE(pump_until([&] { return done.load(); }, [] {}));
  worker.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(static_cast<const void*>(handed), controls_.book_buffer().data());
}

TEST_F(MainWindowTest, ExceptionInAWorkerRequestReachesTheWorkerAndTheWindowStaysUsable) {
  std::atomic<bool> done{false};
  int caught = 0;
  std::thread worker([&] {
    try {
      window_.call([]() -> int { throw std::runtime_error("x"); });
    } catch (const std::runtime_error&) {
      ++caught;
    }
    try {
      window_.call([] { throw std::logic_error("y"); });
    } catch (const std::logic_error&) {
      ++caught;
    }
    // The next request is carried as before: nothing unwound through the window procedure.
    controls_.set_status("之后");
    done = true;
  });
  EXPECT_TRUE(pump_until([&] { return done.load(); }, [] {}));
  worker.join();
  EXPECT_EQ(caught, 2);
  EXPECT_EQ(status(), L"之后");
  controls_.append_log("书");
  EXPECT_EQ(controls_.log_text(), "书");
}

TEST_F(MainWindowTest, DoEventsHandlesWaitingMessagesAndLeavesQuitQueued) {
  PostMessageW(control(names::kSourceCombo), CB_SETCURSEL, 1, 0);
  PostQuitMessage(7);
  text::do_events();
  EXPECT_EQ(controls_.source_choice(), 1);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);

  // A thread without the window's pump: do_events leaves its queue alone.
  bool still_queued = false;
  std::thread other([&] {
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread a queue
    PostThreadMessageW(GetCurrentThreadId(), WM_APP + 9, 0, 0);
    text::do_events();
    still_queued = PeekMessageW(&m, nullptr, WM_APP + 9, WM_APP + 9, PM_REMOVE) != FALSE;
  });
  other.join();
  EXPECT_TRUE(still_queued);
}

TEST_F(MainWindowTest, SearchThenDownloadSource2ThroughTheWindow) {
  search(1, L"西游");
  EXPECT_EQ(status(), L"搜索完成!");
  EXPECT_TRUE(busy_controls_enabled(true));
  const int row = row_named(L"西游记", sites_->config().source2_label);
  ASSERT_GE(row, 0);
  EXPECT_EQ(cell_of(list(), row, 3), L"吴承恩");
  download_and_compare(row, "西游记", "source2_xiyouji");
}

TEST_F(MainWindowTest, SearchThenDownloadSource1ThroughTheWindow) {
  search(0, L"水浒");
  EXPECT_EQ(status(), L"搜索完成!");
  const int row = row_named(L"水浒传", sites_->config().source1_host);
  ASSERT_GE(row, 0);
  download_and_compare(row, "水浒传", "source1_shuihuzhuan");
}

// The download throws inside (out of memory at the first chapter): the status line says
// so, the controls come back, no book is written, and the window downloads on.
TEST_F(MainWindowTest, AFailureInsideADownloadIsShownAndTheWindowGoesOn) {
  search(0, L"水浒");
  const int row = row_named(L"水浒传", sites_->config().source1_host);
  ASSERT_GE(row, 0);
  test_support::FailingControls failing(controls_, 3, std::make_exception_ptr(std::bad_alloc()));
  Controller failing_controller(failing, shell_, sites_->config(),
                                WideToGbk(directory_.path().wstring()));
  failing_controller.on_generate();
  ASSERT_TRUE(pump_until([&] { return busy_controls_enabled(true); }, [] {}));
  EXPECT_EQ(status(), gbk_to_wide(download::download_error_line("std::bad_alloc")));
  EXPECT_EQ(cell_of(list(), row, 4), L"未完成");
  EXPECT_FALSE(std::filesystem::exists(directory_.path() / L"水浒传.txt"));
  download_and_compare(row, "水浒传", "source1_shuihuzhuan");
}

// A request to a window that has gone throws rather than answer "row 0", and a download
// worker takes that as its end: it returns at once, having fetched and written nothing.
TEST_F(MainWindowTest, AWorkerAskingAGoneWindowStopsAtOnce) {
  DestroyWindow(window_.handle());
  ASSERT_EQ(window_.handle(), nullptr);
  std::thread asker([&] {
    EXPECT_THROW(controls_.list_selected_row(), InterfaceGone);
    EXPECT_THROW(controls_.list_get_cell(0, 0), InterfaceGone);
    EXPECT_THROW(controls_.set_status("x"), InterfaceGone);
  });
  asker.join();
  std::thread worker([&] { controller_->download_worker(); });
  worker.join();
  EXPECT_TRUE(std::filesystem::is_empty(directory_.path()));
}

TEST_F(MainWindowTest, CheckedMenuItemAddsTheEpubBesideTheTxt) {
  HMENU items = GetSubMenu(GetMenu(window_.handle()), 0);
  const UINT toggle = GetMenuItemID(items, 3);
  // Checked, then unchecked again: the second download is the window as it was before.
  for (const bool checked : {true, false}) {
    SCOPED_TRACE(checked);
    SendMessageW(window_.handle(), WM_COMMAND, MAKEWPARAM(toggle, 0), 0);
    EXPECT_EQ((GetMenuState(items, 3, MF_BYPOSITION) & MF_CHECKED) != 0, checked);
    std::error_code ignored;
    std::filesystem::remove(directory_.path() / L"水浒传.epub", ignored);
    search(0, L"水浒");
    const int row = row_named(L"水浒传", sites_->config().source1_host);
    ASSERT_GE(row, 0);
    download_and_compare(row, "水浒传", "source1_shuihuzhuan", checked);
  }
}

TEST_F(MainWindowTest, TheShelfMenuItemsListCheckAndUpdateTheBooksDownloaded) {
  sample_sites::SampleSites serials(sites::SiteConfig::defaults(), {}, {}, {}, {1, 3});
  controller_ = std::make_unique<Controller>(controls_, shell_, serials.config(),
                                             WideToGbk(directory_.path().wstring()));
  bind_commands(window_, *controller_);
  search(1, L"连载");
  SendMessageW(control(names::kGenerateButton), BM_CLICK, 0, 0);  // the first hit, 连载1
  ASSERT_TRUE(pump_until([&] { return busy_controls_enabled(true); }, [] {}));
  serials.grow_serials(1);
  HMENU items = GetSubMenu(GetMenu(window_.handle()), 0);
  const auto greyed = [&] {
    int count = 0;
    for (int item : {5, 6, 7}) count += (GetMenuState(items, item, MF_BYPOSITION) & MF_GRAYED) != 0;
    return count;
  };
  struct Case {
    int item;
    const wchar_t* cell;
    const wchar_t* status;
  };
  const Case cases[] = {
      {5, L"共3章", L"书架上有1本书"},
      {6, L"新1章", L"检查完成:1本书有新章节"},
      {7, L"已完成", L"书架更新完成:1本书有新章节,共1章"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    SendMessageW(window_.handle(), WM_COMMAND, MAKEWPARAM(GetMenuItemID(items, c.item), 0), 0);
    // Each item's worker (我的书架 reads the shelf on one too) greys the three items with
    // the controls until it ends.
    EXPECT_EQ(greyed(), 3);
    ASSERT_TRUE(pump_until([&] { return busy_controls_enabled(true) && greyed() == 0; }, [] {}));
    EXPECT_EQ(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(cell_of(list(), 0, 1), L"连载1");
    EXPECT_EQ(cell_of(list(), 0, 4), c.cell);
    EXPECT_EQ(status(), c.status);
  }
}

TEST_F(MainWindowTest, AboutShowsItsTaskModalBox) {
  std::wstring caption_seen, text_seen;
  bool owner_seen = true, window_enabled_meanwhile = true;
  std::thread closer([&] {
    HWND box = nullptr;
    for (int i = 0; i < 2000 && !box; ++i) {
      box = FindWindowW(L"#32770", L"关于");
      if (!box) Sleep(10);
    }
    if (!box) return;
    caption_seen = text_of(box);
    owner_seen = GetWindow(box, GW_OWNER) != nullptr;
    window_enabled_meanwhile = IsWindowEnabled(window_.handle()) != FALSE;
    EnumChildWindows(box, keep_static_text, reinterpret_cast<LPARAM>(&text_seen));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  // The menu's second item, chosen as the menu would send it.
  const UINT about = GetMenuItemID(GetSubMenu(GetMenu(window_.handle()), 0), 1);
  SendMessageW(window_.handle(), WM_COMMAND, MAKEWPARAM(about, 0), 0);
  closer.join();
  EXPECT_EQ(caption_seen, L"关于");
  EXPECT_EQ(text_seen, L"其实关于什么的都不重要\r\n\r\n              By Tarnwick");
  EXPECT_FALSE(owner_seen);
  EXPECT_FALSE(window_enabled_meanwhile);  // task-modal: the thread's windows wait
  EXPECT_TRUE(IsWindowEnabled(window_.handle()));
}

TEST(Win32ShellTest, WorkerRunsOnANewThread) {
  Win32Shell shell;
  std::atomic<DWORD> worker_thread{0};
  ASSERT_TRUE(shell.start_worker([&] { worker_thread = GetCurrentThreadId(); }));
  for (int i = 0; i < 2000 && worker_thread == 0; ++i) Sleep(5);
  EXPECT_NE(worker_thread.load(), 0u);
  EXPECT_NE(worker_thread.load(), GetCurrentThreadId());
}

}  // namespace
}  // namespace quillreap::app::win32
