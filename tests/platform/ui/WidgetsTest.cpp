// The widgets the forms are built from, driven as a user would on the offscreen platform.
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/CollationKey.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/TextBox.h"
#include "support/TestSupport.h"

using namespace vexa;
using vexa::test::W;

namespace {

void ShowActive(QWidget& w) {
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Types a text key by key, accented letters included (QTest::keyClicks takes Latin-1 only).
void Type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

}  // namespace

class WidgetsTest : public QObject {
    Q_OBJECT
  private slots:
    void textBoxRefusesWhatARecordCannotHold();
    void textBoxLengthLimitAppliesToTypingOnly();
    void lostFocusComesBeforeTheClickAndNotForOtherWindows();
    void lostFocusSendingTheUserBackDropsTheClick();
    void checkBoxClicksOnEveryChange();
    void comboClicksOnChoiceOnly();
    void tabControlTellsThePreviousTab();
    void listViewSortsKeepsTagsAndSelection();
    void listViewEventsAndDuplicateKeys();
    void messageBoxAnswersInAdvanceAndRecords();
    void formShrinksFontUntilCaptionsFit();
};

void WidgetsTest::textBoxRefusesWhatARecordCannotHold() {
    TextBox box(QStringLiteral("edTest"));
    QSignalSpy changes(&box, &TextBox::Change);
    ShowActive(box);

    Type(&box, QString::fromUtf8("nov;ák"));
    QCOMPARE(box.Text(), W("novák"));
    // A paste goes through the same path as insert: the refused characters are left out.
    box.insert(QString::fromUtf8("\tŽ→lu;ť\x01"));
    QCOMPARE(box.Text(), W("novákŽluť"));
    QCOMPARE(box.cursorPosition(), 9);

    // Windows-1250 text set by the program comes back byte for byte, and fires Change.
    int before = static_cast<int>(changes.count());
    box.SetText(W("Příliš žluťoučký kůň €"));
    QCOMPARE(box.Text(), W("Příliš žluťoučký kůň €"));
    QCOMPARE(static_cast<int>(changes.count()), before + 1);

    // Input that was refused as a whole is no change.
    before = static_cast<int>(changes.count());
    QTest::keyClicks(&box, QStringLiteral(";"));
    QCOMPARE(static_cast<int>(changes.count()), before);
}

void WidgetsTest::textBoxLengthLimitAppliesToTypingOnly() {
    TextBox box(QStringLiteral("edRC_rest"));
    box.SetMaxLength(4);
    ShowActive(box);
    QTest::keyClicks(&box, QStringLiteral("123456"));
    QCOMPARE(box.Text(), std::string("1234"));
    box.clear();
    box.insert(QStringLiteral("98765"));
    QCOMPARE(box.Text(), std::string("9876"));

    // A stored value longer than the limit survives being shown and read back.
    box.SetText("12345");
    QCOMPARE(box.Text(), std::string("12345"));
    QTest::keyClick(&box, Qt::Key_End);
    QTest::keyClicks(&box, QStringLiteral("6"));
    QCOMPARE(box.Text(), std::string("12345"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.Text(), std::string("1234"));
}

void WidgetsTest::lostFocusComesBeforeTheClickAndNotForOtherWindows() {
    QWidget window;
    window.resize(300, 100);
    auto* first = new TextBox(QStringLiteral("edFirst"), &window);
    first->setGeometry(0, 0, 100, 20);
    auto* button = new Button(QStringLiteral("cmdGo"), "Go", &window);
    button->setGeometry(0, 40, 80, 20);
    auto* combo = new ComboBox(QStringLiteral("comSex"), &window);
    combo->setGeometry(120, 0, 80, 20);
    combo->AddItem("M");
    ShowActive(window);

    std::vector<std::string> events;
    connect(first, &TextBox::LostFocus, this, [&] { events.push_back("LostFocus"); });
    connect(button, &Button::Click, this, [&] { events.push_back("Click"); });
    first->SetFocus();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(events, (std::vector<std::string>{"LostFocus", "Click"}));

    // Another window taking the focus is not leaving the control.
    events.clear();
    first->SetFocus();
    QWidget other;
    ShowActive(other);
    QVERIFY(events.empty());
    ShowActive(window);

    // Opening the combo's list is not leaving the combo.
    int comboLeft = 0;
    connect(combo, &ComboBox::LostFocus, this, [&] { ++comboLeft; });
    combo->SetFocus();
    QVERIFY(combo->hasFocus());
    combo->showPopup();
    QTRY_VERIFY(combo->view()->isVisible());
    combo->hidePopup();
    QCOMPARE(comboLeft, 0);
    first->SetFocus();
    QCOMPARE(comboLeft, 1);
}

void WidgetsTest::lostFocusSendingTheUserBackDropsTheClick() {
    QWidget window;
    window.resize(300, 100);
    auto* date = new TextBox(QStringLiteral("edRC_date"), &window);
    date->setGeometry(0, 0, 100, 20);
    auto* rest = new TextBox(QStringLiteral("edRC_rest"), &window);
    rest->setGeometry(120, 0, 60, 20);
    auto* button = new Button(QStringLiteral("cmdUlozit"), "Save", &window);
    button->setGeometry(0, 40, 80, 20);
    ShowActive(window);

    int clicks = 0;
    connect(button, &Button::Click, this, [&] { ++clicks; });
    connect(rest, &TextBox::LostFocus, this, [&] { date->SetFocus(); });
    rest->SetFocus();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 0);
    QVERIFY(date->hasFocus());
    // From a field that lets the user go, the click goes through.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 1);
}

void WidgetsTest::checkBoxClicksOnEveryChange() {
    CheckBox box(QStringLiteral("chkPrevod"), W("Převádět"));
    QSignalSpy clicks(&box, &CheckBox::Click);
    ShowActive(box);
    box.SetValue(1);
    box.SetValue(1);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(box.Value(), 1);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, box.height() / 2));
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(box.Value(), 0);
}

void WidgetsTest::comboClicksOnChoiceOnly() {
    ComboBox combo(QStringLiteral("comLpt"));
    for (const char* item : {"lpt1", "lpt2", "lpt3"})
        combo.AddItem(item);
    QSignalSpy clicks(&combo, &ComboBox::Click);
    ShowActive(combo);

    combo.SetText("lpt9");
    QCOMPARE(combo.Text(), std::string("lpt9"));
    QCOMPARE(clicks.count(), 0);

    combo.setCurrentIndex(0);
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(combo.Text(), std::string("lpt2"));

    // Typed text and Enter never become an item.
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), QStringLiteral("com;7"));
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    QCOMPARE(combo.Text(), std::string("com7"));
    QCOMPARE(combo.ListCount(), 3);
}

void WidgetsTest::tabControlTellsThePreviousTab() {
    QWidget window;
    window.resize(400, 200);
    auto* tabs = new TabControl(QStringLiteral("VexaMainTab"), &window);
    tabs->setGeometry(0, 0, 400, 200);
    QWidget* page0 = tabs->AddTab(W("Uživatelská data"));
    QWidget* page1 = tabs->AddTab(W("Archív"));
    tabs->AddTab(W("Nastavení"));
    auto* field = new TextBox(QStringLiteral("edPrijmeni"), page0);
    field->setGeometry(10, 50, 100, 20);
    ShowActive(window);

    std::vector<std::string> events;
    connect(field, &TextBox::LostFocus, this, [&] { events.push_back("LostFocus"); });
    connect(tabs, &TabControl::Click, this,
            [&](int previous) { events.push_back("Click from " + std::to_string(previous)); });
    field->SetFocus();
    QTest::mouseClick(tabs->Bar(), Qt::LeftButton, {}, tabs->Bar()->tabRect(1).center());
    QCOMPARE(events, (std::vector<std::string>{"LostFocus", "Click from 0"}));
    QCOMPARE(tabs->Tab(), 1);
    QVERIFY(page1->isVisible());
    QVERIFY(!page0->isVisible());

    events.clear();
    tabs->SetTab(2);
    tabs->SetTab(2);
    QCOMPARE(events, (std::vector<std::string>{"Click from 1"}));
}

void WidgetsTest::listViewSortsKeepsTagsAndSelection() {
    ListView list(QStringLiteral("ArchiveList"));
    list.resize(400, 300);
    list.AddColumn("cp", W("Číslo pasu"), 100);
    list.AddColumn("pr", W("Příjmení"), 100);
    list.SetSortKey(0);
    list.BeginUpdate();
    list.AddItem("x30", {"30", W("Šafránek")}, 0);
    list.AddItem("x10", {"10", W("čech")}, 1);
    list.AddItem("x20", {"20", W("Cibulka")}, 2);
    list.AddItem("x40", {"40", W("Sýkora")}, 3);
    list.AddItem("x50", {"50", W("Dvořák")}, 4);
    list.EndUpdate();
    auto column = [&](int c) {
        std::vector<std::string> texts;
        for (int r = 0; r < list.ListCount(); ++r)
            texts.push_back(list.Text(list.ItemAt(r), c));
        return texts;
    };
    QCOMPARE(column(0), (std::vector<std::string>{"10", "20", "30", "40", "50"}));

    auto selected = list.FindItem("x30");
    QVERIFY(selected.has_value());
    list.Select(*selected);
    // Czech order, letter case ignored: C, Č, D, S, Š.
    list.SetSortKey(1);
    QCOMPARE(column(1), (std::vector<std::string>{W("Cibulka"), W("čech"), W("Dvořák"), W("Sýkora"),
                                                  W("Šafránek")}));
    QCOMPARE(list.SelectedItem(), selected);
    QCOMPARE(list.Tag(*list.SelectedItem()), 0LL);

    // A new row and a changed row take their sorted places; tags stay.
    list.AddItem("x05", {"05", W("Bárta")}, 5);
    QCOMPARE(list.Text(list.ItemAt(0), 1), W("Bárta"));
    list.SetItem(*selected, "x30", {"30", W("Adámek")});
    QCOMPARE(list.ItemAt(0), *selected);
    QCOMPARE(list.Tag(list.ItemAt(0)), 0LL);
    QCOMPARE(list.SelectedItem(), selected);

    list.RemoveItem(*selected);
    QCOMPARE(list.ListCount(), 5);
    QVERIFY(!list.FindTag(0).has_value());
    QCOMPARE(list.Tag(*list.FindItem("x50")), 4LL);

    QVERIFY(CollationKey::Make("abc") < CollationKey::Make("ABD"));
    QVERIFY(CollationKey::Make("9") < CollationKey::Make("a"));
}

void WidgetsTest::listViewEventsAndDuplicateKeys() {
    ListView list(QStringLiteral("ArchiveList"));
    list.resize(400, 300);
    list.AddColumn("cp", "A", 100);
    list.AddColumn("pr", "B", 100);
    list.AddItem("x1", {"1", "b"}, 0);
    list.AddItem("x1", {"1", "a"}, 1);
    QCOMPARE(list.ListCount(), 2);
    ShowActive(list);

    QSignalSpy columns(&list, &ListView::ColumnClick);
    QSignalSpy clicks(&list, &ListView::Click);
    QSignalSpy doubles(&list, &ListView::DblClick);
    QHeaderView* header = list.header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionPosition(1) + 10, header->height() / 2));
    QCOMPARE(columns.count(), 1);
    QCOMPARE(columns.at(0).at(0).toInt(), 2);  // headers count from 1

    QRect firstRow = list.visualRect(list.model()->index(0, 0));
    // Rows leave room for the háček above a capital (ŽÁK, ŘÍHA).
    QVERIFY(firstRow.height() >= QFontMetrics(list.font()).height() + 4);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, firstRow.center());
    QCOMPARE(clicks.count(), 1);
    QVERIFY(list.SelectedItem().has_value());
    // A click below the rows counts as a click into the list too.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 250));
    QCOMPARE(clicks.count(), 2);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, firstRow.center());
    QCOMPARE(doubles.count(), 1);
}

void WidgetsTest::messageBoxAnswersInAdvanceAndRecords() {
    MessageBox box;
    box.AnswerByItself();
    box.AnswerNext(MessageBox::Answer::Yes);
    box.ShowWarning(nullptr, W("Záznam nebyl uložen!"));
    QVERIFY(box.AskYesNo(nullptr, W("Varování"), "?"));
    QVERIFY(!box.AskYesNo(nullptr, "Vexa", "??"));
    box.ShowInfo(nullptr, "done");
    QCOMPARE(box.Unanswered(), 1);
    const auto& shown = box.ShownBoxes();
    QCOMPARE(shown.size(), std::size_t(4));
    QCOMPARE(shown[0].title, std::string("Warning"));
    QCOMPARE(shown[0].text, W("Záznam nebyl uložen!"));
    QVERIFY(shown[0].icon == MessageBox::Icon::Warning);
    QVERIFY(shown[0].buttons == MessageBox::Buttons::Ok);
    QCOMPARE(shown[1].title, W("Varování"));
    QVERIFY(shown[1].icon == MessageBox::Icon::Question);
    QVERIFY(shown[1].buttons == MessageBox::Buttons::YesNo);
    QCOMPARE(shown[3].title, std::string("Info"));
    QVERIFY(shown[3].icon == MessageBox::Icon::Information);
}

void WidgetsTest::formShrinksFontUntilCaptionsFit() {
    Form form;
    form.SetClientSize(4000, 2000);
    QCOMPARE(form.width(), form.Px(4000));
    auto* label = new Label(QStringLiteral("lLong"), W("Velikost písma u dětí:"), &form);
    form.Place(label, 100, 100, 1400, 255);
    auto* check =
        new CheckBox(QStringLiteral("chkPrevod"), W("Převádět malá písmena na velká"), &form);
    form.Place(check, 100, 500, 2400, 255);
    form.FitCaptions(12.0);
    QVERIFY(form.CaptionsFit());
    QVERIFY(form.font().pointSizeF() < 12.0);
    QFontMetrics fm(form.font());
    QVERIFY(fm.horizontalAdvance(label->text()) <= label->width());
}

QTEST_MAIN(WidgetsTest)
#include "WidgetsTest.moc"
