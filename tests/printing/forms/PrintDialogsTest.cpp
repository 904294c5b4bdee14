// The guide-point and template dialogs on the offscreen platform, driven with real clicks and
// keys over an owner window, with the settings in memory, an in-memory port and message boxes
// answered in advance.
#include <QtTest>

#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "printing/DataPageJob.h"
#include "printing/GuidePointsJob.h"
#include "printing/forms/frmSelSabl.h"
#include "printing/forms/frmTisk.h"
#include "settings/Config.h"
#include "support/GuiSupport.h"
#include "support/TestSupport.h"

using namespace vexa;
using vexa::test::W;
using Strings = std::vector<std::string>;
using Answer = MessageBox::Answer;

namespace {

std::string L(std::string text) {
    return test::InUserLocale(std::move(text));
}
// A number with the separator the user's locale does not use.
std::string Foreign(std::string text) {
    const char own = LocaleDecimal::FromUserLocale().Separator();
    std::replace(text.begin(), text.end(), '.', own == ',' ? '.' : ',');
    return text;
}

// The clerk clicks into a box, selects what it holds and types over it.
void TypeInto(TextBox* box, const std::string& text) {
    test::TypeOver(box, QString::fromStdString(text));
}

// The ends of a scroll bar: its arrows.
void ClickArrow(VScrollBar* bar, bool up) {
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      QPoint(bar->width() / 2, up ? 2 : bar->height() - 3));
}

void ClickOption(OptionButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

// The owner window, the settings, the port and the message boxes the dialogs work with.
class Desk {
  public:
    Desk() : registry(std::map<std::string, std::string>{}), config(registry) {
        messages.AnswerByItself();
        owner.setGeometry(100, 100, 600, 300);
        test::ShowActive(&owner);
    }
    ~Desk() { delete dialog.data(); }

    template <typename Dialog>
    Dialog& Open() {
        auto* opened = new Dialog({owner, config, ports, messages, [this] { return &record; },
                                   [this] { stored.push_back(Shift()); }});
        opened->setAttribute(Qt::WA_DeleteOnClose);
        opened->ShowOver(&owner, true);
        test::WaitActive(opened);
        dialog = opened;
        return *opened;
    }
    // The dialog opened last has unloaded: it is gone, and the owner is enabled and active.
    bool Gone() {
        return QTest::qWaitFor([this] { return dialog.isNull(); }, 2000) &&
               test::WaitActive(&owner) && owner.isEnabled();
    }
    // The window system's close box.
    void CloseBox() { dialog->windowHandle()->close(); }

    Strings Shift() { return {config.Text(cfg::HorzShift), config.Text(cfg::VertShift)}; }
    Strings Shown() { return test::ShownBoxes(messages); }
    // What a job sends with the settings as they are now.
    std::string Expected(bool dataPage) {
        return test::JobBytes([&](PortOpener& port, Notifier& notes) {
            return dataPage ? DataPageJob(config, port, notes).PrintDataPage(record)
                            : GuidePointsJob(config, port, notes).PrintGuidePoints();
        });
    }

    RegistryRoot registry;
    Config config;
    MessageBox messages;
    MemoryPortOpener ports;
    QWidget owner;
    ClientsDataCls record = test::SampleHolder();
    std::vector<Strings> stored;  // the shift each time the dialog stored one
    QPointer<QWidget> dialog;
};

Strings Checked(const frmSelSabl& d) {
    Strings names;
    for (int n = 1; n <= frmSelSabl::kTemplates; ++n) {
        if (d.optP[n]->Value() == 1)
            names.push_back(d.optP[n]->objectName().toStdString());
    }
    return names;
}

}  // namespace

class PrintDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void guidePointDialogLoadsTheStoredShiftAndCloseBoxStoresNothing();
    void millimetreBoxesAndScrollBars();
    void anoPrintsTheMarksNeOffersTheDataPage();
    void templateDialog();
};

void PrintDialogsTest::guidePointDialogLoadsTheStoredShiftAndCloseBoxStoresNothing() {
    Desk desk;
    const struct {
        const char* horz;
        const char* vert;
        Strings shown;
    } loads[] = {{"0", "0", {"0 mm", "0 mm"}}, {"4", "42", {L("-1.6 mm"), L("-2.9 mm")}}};
    for (const auto& load : loads) {
        desk.config.Set(cfg::HorzShift, load.horz);
        desk.config.Set(cfg::VertShift, load.vert);
        frmTisk& d = desk.Open<frmTisk>();
        QCOMPARE((Strings{d.edX->Text(), d.edY->Text()}), load.shown);
        QVERIFY(!desk.owner.isEnabled());
        // Moved, then closed with the close box: nothing is stored, the owner is enabled again.
        ClickArrow(d.vscrollX, false);
        ClickArrow(d.vscrollY, true);
        desk.CloseBox();
        QVERIFY(desk.Gone());
        QCOMPARE(desk.Shift(), (Strings{load.horz, load.vert}));
    }

    // A fixed dialog; the caret on "Ano"; Tab goes through the buttons, boxes and bars.
    frmTisk& d = desk.Open<frmTisk>();
    QCOMPARE(d.windowTitle(), QString::fromUtf8("Tisk naváděcích bodů"));
    QVERIFY((d.windowFlags() & Qt::WindowType_Mask) == Qt::Dialog && d.CaptionsFit());
    QVERIFY(d.cmdAno->hasFocus());
    QCOMPARE(test::TabWalk(6), QStringLiteral("cmdNe edX vscrollX edY vscrollY cmdAno"));
    QVERIFY(desk.messages.ShownBoxes().empty());
}

void PrintDialogsTest::millimetreBoxesAndScrollBars() {
    Desk desk;
    frmTisk& d = desk.Open<frmTisk>();
    // Each text typed into edX and left with Tab: the bar's value and the box's text then (how
    // texts read is GuideShift's). A value the bar has already changes nothing: the box keeps the
    // text as typed.
    const struct {
        std::string typed;
        int value;
        std::string shown;
    } accepted[] = {{L("0.5 cm"), 50, "5 mm"}, {"5", 50, "5"}, {L("-0.34"), -3, L("-0.3 mm")}};
    for (const auto& c : accepted) {
        TypeInto(d.edX, c.typed);
        test::PressKey(Qt::Key_Tab);
        QCOMPARE(std::pair(d.vscrollX->Value(), d.edX->Text()), std::pair(c.value, c.shown));
        QVERIFY(d.vscrollX->hasFocus());
    }
    // Refused: the text stays, all of it selected, with the caret; the bar keeps its value.
    for (const std::string& typed : {std::string(), Foreign("2.5")}) {
        TypeInto(d.edX, typed);
        test::PressKey(Qt::Key_Tab);
        QVERIFY(d.edX->hasFocus());
        QCOMPARE(d.edX->Text(), typed);
        QCOMPARE(std::pair(d.edX->SelStart(), d.edX->SelLength()),
                 std::pair(0, static_cast<int>(typed.size())));
        QCOMPARE(d.vscrollX->Value(), -3);
    }
    // While the box refuses its text, clicks elsewhere in the dialog do nothing.
    QTest::mouseClick(d.cmdAno, Qt::LeftButton);
    ClickArrow(d.vscrollX, true);
    QTest::mouseClick(d.edY, Qt::LeftButton);
    QCOMPARE(std::pair(d.vscrollX->Value(), desk.ports.OpenCount()), std::pair(-3, 0));
    QVERIFY(d.edX->hasFocus());

    // A number typed, then the bar's arrow: the box's value first, then the step.
    TypeInto(d.edX, "1");
    ClickArrow(d.vscrollX, true);
    QCOMPARE(std::pair(d.vscrollX->Value(), d.edX->Text()), std::pair(11, L("1.1 mm")));
    // The bars by mouse and by key rewrite their box.
    ClickArrow(d.vscrollY, false);
    QCOMPARE(d.edY->Text(), L("-0.1 mm"));
    test::PressKey(Qt::Key_PageUp);
    test::PressKey(Qt::Key_Up);
    QCOMPARE(std::pair(d.vscrollY->Value(), d.edY->Text()), std::pair(10, std::string("1 mm")));
    QVERIFY(desk.messages.ShownBoxes().empty());
    QCOMPARE(desk.Shift(), (Strings{"0", "0"}));  // nothing stored until "Ano" or "Ne"
}

void PrintDialogsTest::anoPrintsTheMarksNeOffersTheDataPage() {
    Desk desk;
    frmTisk& d = desk.Open<frmTisk>();
    TypeInto(d.edX, L("1.5"));
    TypeInto(d.edY, L("1.5"));
    QTest::mouseClick(d.cmdAno, Qt::LeftButton);
    QCOMPARE(desk.Shift(), (Strings{"-4", "-21"}));
    // The owner hears of every stored shift, to write the settings at once.
    QCOMPARE(desk.stored, (std::vector<Strings>{{"-4", "-21"}}));
    const std::string marks = desk.Expected(false);
    QCOMPARE(desk.ports.AllBytes(), (Strings{marks}));
    QVERIFY(d.isVisible() && !desk.owner.isEnabled());

    // "Ne", Yes: the data page with the same shift; the dialog unloads, the owner is enabled.
    desk.messages.AnswerNext(Answer::Yes);
    QTest::mouseClick(d.cmdNe, Qt::LeftButton);
    QVERIFY(desk.Gone());
    QCOMPARE(desk.Shown(), (Strings{"Tisk: Vytisknout data?"}));
    const MessageBox::Shown& asked = desk.messages.ShownBoxes()[0];
    QVERIFY(asked.icon == MessageBox::Icon::Question &&
            asked.buttons == MessageBox::Buttons::YesNo);
    const std::string page = desk.Expected(true);
    QCOMPARE(desk.ports.AllBytes(), (Strings{marks, page}));
    QCOMPARE(desk.stored.size(), std::size_t(2));

    // A job that fails is told over the dialog; the shift stays as set, the dialog open.
    desk.ports = MemoryPortOpener();
    desk.ports.FailOpen("Device or resource busy");
    desk.messages.ClearShown();
    frmTisk& e = desk.Open<frmTisk>();
    QCOMPARE(e.edX->Text(), L("1.7 mm"));  // -4 loads as 17
    TypeInto(e.edX, "2");
    QTest::mouseClick(e.cmdAno, Qt::LeftButton);
    QCOMPARE(desk.Shown(), (Strings{"Warning: " + W("Tiskárnu na portu „lpt1“ (memory:lpt1) nelze "
                                                    "otevřít: Device or resource busy. Nic nebylo "
                                                    "vytištěno.")}));
    QCOMPARE(desk.Shift(), (Strings{"-5", "-21"}));
    QVERIFY(e.isVisible() && !desk.owner.isEnabled());
    // "Ne", No: the shift stored, nothing printed, the dialog unloaded.
    desk.ports = MemoryPortOpener();
    TypeInto(e.edY, "-1");
    desk.messages.AnswerNext(Answer::No);
    QTest::mouseClick(e.cmdNe, Qt::LeftButton);
    QVERIFY(desk.Gone());
    QCOMPARE(desk.Shift(), (Strings{"-5", "14"}));
    QCOMPARE(desk.ports.OpenCount(), 0);
    QCOMPARE(desk.messages.Unanswered(), 0);
}

void PrintDialogsTest::templateDialog() {
    Desk desk;
    frmSelSabl& d = desk.Open<frmSelSabl>();
    QCOMPARE(d.windowTitle(), QString::fromUtf8("Výběr šablony"));
    QVERIFY(d.windowFlags().testFlag(Qt::WindowMinMaxButtonsHint) && desk.owner.isEnabled());
    QCOMPARE(Checked(d), (Strings{"optP1"}));
    QVERIFY(d.cmdOK->hasFocus());
    QCOMPARE(test::TabWalk(2), QStringLiteral("cmdCance optP1"));

    // "OK" at once, Yes: P1's shift, and the data page printed with it.
    desk.messages.AnswerNext(Answer::Yes);
    QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    QVERIFY(desk.Gone());
    QCOMPARE(desk.Shift(), (Strings{"0", "42"}));
    QCOMPARE(desk.ports.AllBytes(), (Strings{desk.Expected(true)}));
    QCOMPARE(desk.Shown(), (Strings{"Tisk: Vytisknout data?"}));

    // P8, "OK", No: stored all the same, nothing printed.
    frmSelSabl& e = desk.Open<frmSelSabl>();
    ClickOption(e.optP[8]);
    QCOMPARE(Checked(e), (Strings{"optP8"}));
    QCOMPARE(e.Selected, 8);
    desk.messages.AnswerNext(Answer::No);
    QTest::mouseClick(e.cmdOK, Qt::LeftButton);
    QVERIFY(desk.Gone());
    QCOMPARE(desk.Shift(), (Strings{"6", "0"}));
    QCOMPARE(desk.ports.OpenCount(), 1);

    // Every opening starts at P1; "Storno" and the close box change nothing.
    for (bool storno : {true, false}) {
        frmSelSabl& f = desk.Open<frmSelSabl>();
        QCOMPARE(Checked(f), (Strings{"optP1"}));
        ClickOption(f.optP[5]);  // P5 differs from the stored P8 in both directions
        storno ? QTest::mouseClick(f.cmdCance, Qt::LeftButton) : desk.CloseBox();
        QVERIFY(desk.Gone());
        QCOMPARE(desk.Shift(), (Strings{"6", "0"}));
    }
    QCOMPARE(desk.messages.ShownBoxes().size(), std::size_t{2});
    QCOMPARE(desk.messages.Unanswered(), 0);
}

QTEST_MAIN(PrintDialogsTest)
#include "PrintDialogsTest.moc"
