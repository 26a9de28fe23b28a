// The program's windows driven through the Qt view: shortcut keys, menus, close boxes, timers,
// dialogs, the clipboard and the standard input/output window.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "../support/working_directory.h"
#include "app/callback_table.h"
#include "app/settings_format.h"
#include "app/shell.h"
#include "app/state.h"
#include "platform/qt/console_window.h"
#include "platform/qt/loop_driver.h"
#include "platform/qt/number_spin_box.h"
#include "platform/qt/number_views.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/text_views.h"
#include "view_fixture.h"

using namespace korvel::qtview;
namespace app = korvel::app;

class ProgramWindowsTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        app::reset_app_state();
        app::register_callbacks();
        app::main_panel = load(PANELMAIN);
    }

    int count_windows(int resource_panel) {
        int n = 0;
        for (PanelWindow* w : qt_->view().windows())
            if (w->def().id == resource_panel && w->isVisible()) ++n;
        return n;
    }

    QAction* menu_action(const QString& label) {
        for (QAction* a : window(app::main_panel)->menuBar()->actions())
            if (a->text() == label) return a;
        return nullptr;
    }
};

TEST_F(ProgramWindowsTest, F9OnTheMainWindowOpensTheDebugPanelOnce) {
    PanelWindow* main = window(app::main_panel);
    QTest::keyClick(main, Qt::Key_F9);
    QTest::keyClick(main, Qt::Key_F9);
    EXPECT_EQ(count_windows(PANELDEBUG), 1);
    EXPECT_EQ(app::debug_panel_open, 1);
    EXPECT_EQ(window(app::debug_panel)->windowTitle(), "Debug");
}

TEST_F(ProgramWindowsTest, F9ReachesTheHiddenDebugButtonFromAnyFocusedControl) {
    view<StringView>(app::main_panel, PANELMAIN_SETUP_LOADED)->field()->setFocus();
    QTest::keyClick(view<StringView>(app::main_panel, PANELMAIN_SETUP_LOADED)->field(), Qt::Key_F9);
    EXPECT_EQ(count_windows(PANELDEBUG), 1);
}

TEST_F(ProgramWindowsTest, TheModelFollowsTheFocus) {
    app::settings.Manual = 1;  // the ratio field takes the focus only while it is not dimmed
    menu_action("Features")->trigger();
    PanelWindow* more = window(app::more_panel);
    QApplication::setActiveWindow(more);
    view<NumericView>(app::more_panel, PANELMORE_DIVIDE_RATIO_CONTROL)->field()->setFocus();
    EXPECT_EQ(GetActivePanel(), app::more_panel);
    EXPECT_EQ(GetActiveCtrl(app::more_panel), PANELMORE_DIVIDE_RATIO_CONTROL);
}

TEST_F(ProgramWindowsTest, F12OnTheDebugPanelOperatesNext) {
    spy("CB_Debug");
    QTest::keyClick(window(app::main_panel), Qt::Key_F9);
    QTest::keyClick(window(app::debug_panel), Qt::Key_F12);
    ASSERT_FALSE(delivered.empty());
    EXPECT_EQ(delivered.back(),
              (Delivered{app::debug_panel, PANELDEBUG_NEXT_FREQ_BUTTON, EVENT_COMMIT, 0}));
}

TEST_F(ProgramWindowsTest, CalibrationMarksTypedIntoCalResultsLineUpInAFixedWidthFont) {
    QTest::keyClick(window(app::main_panel), Qt::Key_F9);
    QLineEdit* field = view<StringView>(app::debug_panel, PANELDEBUG_CAL_RESULTS)->field();
    // The system's fixed font, whose blank, marks and "?" are all one width (Qt calls some such
    // fonts, Noto Sans Mono among them, not fixed-pitch: what lines up is what counts).
    EXPECT_EQ(
        QFontInfo(field->font()).family().toStdString(),
        QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family().toStdString());
    const QFontMetrics metrics(field->font());
    for (const QChar c : QStringLiteral(".x?"))
        EXPECT_EQ(metrics.horizontalAdvance(c), metrics.horizontalAdvance(QLatin1Char(' ')))
            << c.toLatin1();
    EXPECT_TRUE(field->toolTip().contains("Insert"));
    field->setFocus();
    QTest::keyClicks(field, "a");
    QTest::keyClick(field, Qt::Key_Insert);
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClicks(field, "/?");
    // "a" is left to the field and read in at the next mark, which then takes cell 0.
    EXPECT_EQ(field->text(), "x.x? " + QString(16, QLatin1Char(' ')));
    std::string text;
    GetCtrlVal(app::debug_panel, PANELDEBUG_CAL_RESULTS, &text);
    EXPECT_EQ(QString::fromStdString(text), field->text());
    int row = -1, column = -1;
    GetCtrlVal(app::debug_panel, PANELDEBUG_RINGSLIDE_GP_MPH, &row);
    GetCtrlVal(app::debug_panel, PANELDEBUG_RINGSLIDE_GP_APH, &column);
    EXPECT_EQ(4 * row + column, 4);
}

TEST_F(ProgramWindowsTest, EachPhaseSlideHasARowOfItsOwn) {
    QTest::keyClick(window(app::main_panel), Qt::Key_F9);
    window(app::debug_panel)->adjustSize();
    const QWidget* mph = view<ControlView>(app::debug_panel, PANELDEBUG_RINGSLIDE_GP_MPH)->editor();
    const QWidget* aph = view<ControlView>(app::debug_panel, PANELDEBUG_RINGSLIDE_GP_APH)->editor();
    const QRect a = aph->geometry(), m = mph->geometry();
    EXPECT_FALSE(a.top() < m.bottom() && m.top() < a.bottom());
    EXPECT_LT(m.top(), a.top());
}

TEST_F(ProgramWindowsTest, HelpMenuShowsTheVersion) {
    QAction* help = menu_action("Help");
    ASSERT_NE(help, nullptr);
    help->trigger();
    help->trigger();
    EXPECT_EQ(count_windows(PANELHELP), 1);
    auto* ver = view<TextMessageView>(app::help_panel, PANELHELP_VER);
    EXPECT_EQ(ver->text()->text(), "V 1.4.0");
    EXPECT_TRUE(ver->text()->isVisible());
}

TEST_F(ProgramWindowsTest, MenuBarHasTheResourceMenusInOrder) {
    QStringList labels;
    for (QAction* a : window(app::main_panel)->menuBar()->actions()) labels << a->text();
    EXPECT_EQ(labels, (QStringList{"File", "Features", "EEPROM", "Help"}));
    ASSERT_NE(menu_action("File")->menu(), nullptr);
    QStringList items;
    for (QAction* a : menu_action("File")->menu()->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"Open Configuration", "Save As Configuration",
                                  "Quit Without Saving setup.cfg", "Exit"}));
}

TEST_F(ProgramWindowsTest, CloseBoxOfASecondaryWindowClosesItsPanel) {
    menu_action("Features")->trigger();
    ASSERT_EQ(app::more_panel_open, 1);
    window(app::more_panel)->close();
    settle();
    EXPECT_EQ(app::more_panel_open, 0);
    EXPECT_FALSE(korvel::platform::panel_loaded(app::more_panel));
    EXPECT_EQ(count_windows(PANELMORE), 0);
}

TEST_F(ProgramWindowsTest, CloseBoxOfTheMainWindowLeavesThroughFileExit) {
    korvel::testing::FreshWorkingDirectory dir;
    dir.enter();
    app::settings.DataSelect = 9;
    window(app::main_panel)->close();
    EXPECT_EQ(korvel::testing::file_text("settings.cfg"), app::format_settings(app::settings));
    EXPECT_TRUE(korvel::platform::quit_requested());
    EXPECT_TRUE(korvel::platform::timer_callbacks_suspended());
}

TEST_F(ProgramWindowsTest, RedrawingInsideACallbackRunsNoOtherWork) {
    // A callback that asks for a redraw (the divider does, before its bus traffic) must not see
    // queued timers or deferred calls run inside it.
    bool timer_ran = false, deferred_ran = false;
    QTimer::singleShot(0, [&] { timer_ran = true; });
    korvel::platform::post_deferred_call([&] { deferred_ran = true; });
    ProcessDrawEvents();
    EXPECT_FALSE(timer_ran);
    EXPECT_FALSE(deferred_ran);
    settle();
    EXPECT_TRUE(timer_ran);
}

TEST_F(ProgramWindowsTest, TheConfigurationNameGetsTheRowsSpareWidth) {
    // The serial field is as wide as a 16-character serial needs; the rest of the row goes to
    // the configuration name, so that a typical name is not clipped.
    SetCtrlVal(app::main_panel, PANELMAIN_DEVICE_SN, "1234567890123456");
    SetCtrlVal(app::main_panel, PANELMAIN_SETUP_LOADED, "bench_12GHz_setup.cfg");
    settle();
    window(app::main_panel)->layout()->activate();
    QLineEdit* serial = view<StringView>(app::main_panel, PANELMAIN_DEVICE_SN)->field();
    QLineEdit* name = view<StringView>(app::main_panel, PANELMAIN_SETUP_LOADED)->field();
    constexpr int kFrameAndMargins = 8;
    EXPECT_GE(serial->width(),
              serial->fontMetrics().horizontalAdvance(serial->text()) + kFrameAndMargins);
    EXPECT_GE(name->width(),
              name->fontMetrics().horizontalAdvance(name->text()) + kFrameAndMargins);
    EXPECT_GT(name->width(), serial->width());
}

TEST_F(ProgramWindowsTest, TimerTicksComeFromTheLoopDriverOnTheProcessClock) {
    spy("CBTimer");
    qt_->driver().runDue();
    EXPECT_TRUE(delivered.empty());
    clock_.advance(1.0);
    EXPECT_EQ(qt_->driver().runDue(), 1);
    clock_.advance(2.5);
    EXPECT_EQ(qt_->driver().runDue(), 1);  // late ticks are not piled up
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[0], (Delivered{app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, 0}));
    SuspendTimerCallbacks();
    clock_.advance(5.0);
    EXPECT_EQ(qt_->driver().runDue(), 0);
}

TEST_F(ProgramWindowsTest, DeferredCallsRunOnTheNextTurnOfTheLoop) {
    int ran = 0;
    korvel::platform::post_deferred_call([&] { ++ran; });
    EXPECT_EQ(ran, 0);
    qt_->driver().runDue();
    EXPECT_EQ(ran, 1);
}

TEST_F(ProgramWindowsTest, MessagePopupShowsTitleAndText) {
    QString title, text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    MessagePopup("Restore Error", "Unable to find Restore File");
    EXPECT_EQ(title, "Restore Error");
    EXPECT_EQ(text, "Unable to find Restore File");
}

TEST_F(ProgramWindowsTest, FileDialogReturnsTheChosenPathOrNothingWhenCancelled) {
    const QString dir = QDir::temp().filePath(QStringLiteral("korvel-qt-test"));
    QDir().mkpath(dir);
    const QString file = QDir(dir).filePath(QStringLiteral("pattern.txt"));
    QFile(file).open(QIODevice::WriteOnly);

    auto answer = [](const QString& chosen) {
        QTimer::singleShot(0, [chosen] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            if (chosen.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(chosen);
                QMetaObject::invokeMethod(dialog, "accept");
            }
        });
    };
    char path[MAX_PATHNAME_LEN] = "unchanged";
    answer(file);
    EXPECT_EQ(FileSelectPopup(dir.toUtf8().constData(), "*.txt", "*.txt", "Select Text File",
                              VAL_LOAD_BUTTON, 0, 0, 1, 0, path),
              VAL_EXISTING_FILE_SELECTED);
    EXPECT_EQ(QString::fromUtf8(path), file);

    std::strcpy(path, "unchanged");
    answer(QString());
    EXPECT_EQ(FileSelectPopup(dir.toUtf8().constData(), "*.txt", "*.txt", "Select Text File",
                              VAL_LOAD_BUTTON, 0, 0, 1, 0, path),
              VAL_NO_FILE_SELECTED);
    EXPECT_STREQ(path, "unchanged");
    QDir(dir).removeRecursively();
}

// A whole path typed key by key into the name field, as an operator does, is the file chosen.
// Each folder on the way is picked in the list while its name is typed; with one child per folder
// the folders share a row number, the layout in which Qt 6.4 kept "w" picked and opened it instead.
TEST_F(ProgramWindowsTest, FileDialogTakesAWholePathTypedIntoTheNameField) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid() && QDir(root.path()).mkpath(QStringLiteral("k/w")));
    const QString existing = root.filePath(QStringLiteral("k/w/other.cfg"));
    QFile(existing).open(QIODevice::WriteOnly);
    const struct {
        int button;
        QString typed;
        int result;
    } cases[] = {
        {VAL_LOAD_BUTTON, existing, VAL_EXISTING_FILE_SELECTED},
        {VAL_SAVE_BUTTON, existing, VAL_EXISTING_FILE_SELECTED},
        {VAL_SAVE_BUTTON, root.filePath(QStringLiteral("k/w/new.cfg")), VAL_NEW_FILE_SELECTED}};
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&c] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (name == nullptr) return;
            QApplication::setActiveWindow(dialog);
            name->setFocus();
            QTest::keyClicks(name, c.typed);
            QTimer::singleShot(0, [] {  // "Do you want to replace it?"
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                    box->button(QMessageBox::Yes)->click();
            });
            QTest::keyClick(name, Qt::Key_Return);
            if (dialog->isVisible()) dialog->reject();
        });
        char path[MAX_PATHNAME_LEN] = "";
        EXPECT_EQ(FileSelectPopup(root.path().toUtf8().constData(), "*.cfg", "*.cfg", "Select File",
                                  c.button, 0, 0, 1, 0, path),
                  c.result);
        EXPECT_EQ(std::string(path), c.typed.toStdString());
    }
}

TEST_F(ProgramWindowsTest, PrintedTextAppearsInTheConsoleAndTypedLinesAreRead) {
    ConsoleWindow* console = qt_->host().console();
    qt_->host().setEchoToStdout(false);
    StdioPrintf("IO 0x%02X\n", 0x1F);
    EXPECT_TRUE(console->isVisible());
    EXPECT_TRUE(console->text().contains("IO 0x1F"));
    // Nothing typed yet: getchar waits while the event loop runs (this timer fires), with the
    // console the only window that takes input, until a line is typed.
    bool modal_while_waiting = false;
    QTimer::singleShot(0, console, [&] {
        modal_while_waiting = console->isModal();
        console->typeLine("42");
    });
    EXPECT_EQ(StdioGetchar(), '4');
    EXPECT_TRUE(modal_while_waiting);
    EXPECT_FALSE(console->isModal());
    EXPECT_TRUE(console->isVisible());
    EXPECT_EQ(StdioGetchar(), '2');
    EXPECT_EQ(StdioGetchar(), '\n');
    EXPECT_TRUE(console->text().endsWith("42\n"));
}

TEST_F(ProgramWindowsTest, ClosingTheConsoleWhileGetcharWaitsEndsTheInput) {
    ConsoleWindow* console = qt_->host().console();
    qt_->host().setEchoToStdout(false);
    QTimer::singleShot(0, console, [&] { console->close(); });
    EXPECT_EQ(StdioGetchar(), -1);
    EXPECT_FALSE(console->isVisible());
    EXPECT_FALSE(console->isModal());
    // The next wait opens it again.
    QTimer::singleShot(0, console, [&] { console->typeLine(""); });
    EXPECT_EQ(StdioGetchar(), '\n');
    EXPECT_TRUE(console->isVisible());
}

TEST_F(ProgramWindowsTest, ClipboardReceivesTheText) {
    ClipboardPutText("SN 1042");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "SN 1042");
}

TEST(DialogFilter, PatternListsBecomeQtFilters) {
    EXPECT_EQ(dialog_filter("*.txt;*.cfg", ""), "Files (*.txt *.cfg);;All files (*)");
    EXPECT_EQ(dialog_filter("", "*.txt"), "Files (*.txt);;All files (*)");
    EXPECT_EQ(dialog_filter("", "settings.cfg"), "All files (*)");
    EXPECT_EQ(dialog_filter("*.*", ""), "All files (*)");
}
