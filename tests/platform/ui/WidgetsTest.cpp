// The widgets the forms are built from, driven as a user would on the offscreen platform.
#include <QAbstractButton>
#include <QMessageBox>
#include <QSignalSpy>
#include <QtTest>
#include <random>

#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/CzechCollation.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/ListSource.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/VScrollBar.h"
#include "support/GuiSupport.h"
#include "support/TestSupport.h"

using namespace vexa;
using vexa::test::W;
using Strings = std::vector<std::string>;

namespace {

// Three tabs; on the first a text box and a combo box. Every LostFocus and tab Click is
// recorded in `events`.
struct Window {
    Window() {
        widget.resize(400, 200);
        tabs->setGeometry(0, 0, 400, 200);
        for (const char* caption : {"Uživatelská data", "Archív", "Nastavení"})
            pages.push_back(tabs->AddTab(W(caption)));
        date = new TextBox(QStringLiteral("edRC_date"), pages[0]);
        combo = new ComboBox(QStringLiteral("comSex"), pages[0]);
        date->setGeometry(10, 50, 100, 20);
        combo->setGeometry(200, 50, 80, 20);
        combo->AddItem("M");
        QObject::connect(date, &TextBox::LostFocus, [this] { Record(date); });
        QObject::connect(combo, &ComboBox::LostFocus, [this] { Record(combo); });
        QObject::connect(tabs, &TabControl::Click, [this](int from) {
            events.push_back("Tab from " + std::to_string(from));
        });
        QVERIFY(test::ShowActive(&widget));
    }
    void Record(QWidget* left) {
        events.push_back("LostFocus " + left->objectName().toStdString());
    }

    QWidget widget;
    TabControl* tabs = new TabControl(QStringLiteral("VexaMainTab"), &widget);
    std::vector<QWidget*> pages;
    TextBox* date;
    ComboBox* combo;
    Strings events;
};

Strings Column(const ListView& list, int column) {
    Strings texts;
    for (int r = 0; r < list.ListCount(); ++r)
        texts.push_back(list.Text(list.ItemAt(r), column));
    return texts;
}

}  // namespace

class WidgetsTest : public QObject {
    Q_OBJECT
  private slots:
    void textBoxKeepsWhatARecordCanHold();
    void eventOrder();
    void checkBoxAndComboClicks();
    void scrollBarWithTheLargerValueAtTheTop();
    void optionButtonsGroupedInAFrame();
    void listViewKeysTagsSortAndEvents();
    void listViewReadsASourceAndFilters();
    void messageBoxes();
    void dialogBordersAndPlacement();
};

void WidgetsTest::textBoxKeepsWhatARecordCanHold() {
    TextBox box(QStringLiteral("edTest"));
    box.SetRefused(";");
    QSignalSpy changes(&box, &TextBox::Change);
    QVERIFY(test::ShowActive(&box));
    // Typed or pasted: what the form refuses (";"), control characters and what Windows-1250
    // lacks are left out.
    QTest::keyClicks(&box, QStringLiteral("nov;ak"));
    box.insert(QString::fromUtf8("\tŽ→lu;ť\x01"));
    QCOMPARE(box.Text(), W("novakŽluť"));
    QCOMPARE(box.cursorPosition(), 9);
    // Input refused as a whole is no change; text set by the program is one, byte for byte.
    int before = static_cast<int>(changes.count());
    QTest::keyClicks(&box, QStringLiteral(";"));
    QCOMPARE(static_cast<int>(changes.count()), before);
    box.SetText(W("Příliš žluťoučký kůň €"));
    QCOMPARE(box.Text(), W("Příliš žluťoučký kůň €"));
    QCOMPARE(static_cast<int>(changes.count()), before + 1);

    // The length limit cuts typing and pasting, never a stored value set by the program.
    box.SetMaxLength(4);
    for (bool paste : {false, true}) {
        box.clear();
        paste ? box.insert(QStringLiteral("123456")) : QTest::keyClicks(&box, "123456");
        QCOMPARE(box.Text(), std::string("1234"));
    }
    box.SetText("12345");
    QTest::keyClick(&box, Qt::Key_End);
    QTest::keyClicks(&box, QStringLiteral("6"));
    QCOMPARE(box.Text(), std::string("12345"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.Text(), std::string("1234"));
}

void WidgetsTest::eventOrder() {
    Window w;
    // LostFocus comes before the tab's Click.
    w.date->SetFocus();
    QTest::mouseClick(w.tabs->Bar(), Qt::LeftButton, {}, w.tabs->Bar()->tabRect(1).center());
    QCOMPARE(w.events, (Strings{"LostFocus edRC_date", "Tab from 0"}));
    QCOMPARE(w.tabs->Tab(), 1);
    QVERIFY(w.pages[1]->isVisible() && !w.pages[0]->isVisible());
    w.events.clear();
    w.tabs->SetTab(0);
    w.tabs->SetTab(0);
    QCOMPARE(w.events, (Strings{"Tab from 1"}));

    // Neither another window taking the focus nor the combo's own list is leaving a control.
    w.date->SetFocus();
    w.events.clear();
    {
        QWidget other;
        QVERIFY(test::ShowActive(&other));
    }
    QVERIFY(test::ShowActive(&w.widget));
    w.combo->SetFocus();
    w.combo->showPopup();
    QTRY_VERIFY(w.combo->view()->isVisible());
    w.combo->hidePopup();
    w.date->SetFocus();
    QCOMPARE(w.events, (Strings{"LostFocus edRC_date", "LostFocus comSex"}));
    // (LostFocus before a button's Click, and the click dropped when that LostFocus sends the
    // clerk back, are the main window's: a wrong birth number left by a click on Uložit.)
}

void WidgetsTest::checkBoxAndComboClicks() {
    // The check box: Click on every change of the value, by the program or the user.
    CheckBox box(QStringLiteral("chkPrevod"), W("Převádět"));
    QSignalSpy checks(&box, &CheckBox::Click);
    QVERIFY(test::ShowActive(&box));
    box.SetValue(1);
    box.SetValue(1);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, box.height() / 2));
    QCOMPARE(checks.count(), 2);
    QCOMPARE(box.Value(), 0);

    // The combo box: typed text never becomes an item. (Click on a choice by the user only: the
    // settings tab's flow.)
    ComboBox combo(QStringLiteral("comLpt"));
    combo.SetRefused(";");
    for (const char* item : {"lpt1", "lpt2", "lpt3"})
        combo.AddItem(item);
    QVERIFY(test::ShowActive(&combo));
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), QStringLiteral("com;7"));
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    QCOMPARE(combo.Text(), std::string("com7"));
    QCOMPARE(combo.ListCount(), 3);
}

void WidgetsTest::scrollBarWithTheLargerValueAtTheTop() {
    VScrollBar bar(QStringLiteral("vscrollX"));
    bar.setGeometry(0, 0, 16, 200);
    bar.SetEnds(100, -100);
    bar.SetSteps(1, 10);
    QSignalSpy changes(&bar, &VScrollBar::Change);
    QVERIFY(test::ShowActive(&bar));
    auto click = [&](int y) { QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(8, y)); };
    // The track on either side of the thumb, then dragging the thumb (in the middle at 0) to the
    // top; each step a Change. (Arrows and keys: the guide-point dialog's tests.)
    const struct {
        std::function<void()> act;
        int value;
    } steps[] = {{[&] { click(40); }, 10},
                 {[&] { click(160); }, 0},
                 {[&] {
                      QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(8, 100));
                      QTest::mouseMove(&bar, QPoint(8, -50));
                      QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(8, -50));
                  },
                  100}};
    int count = 0;
    for (const auto& step : steps) {
        step.act();
        QCOMPARE(bar.Value(), step.value);
        QVERIFY(changes.count() > count);
        count = static_cast<int>(changes.count());
    }
    QVERIFY(bar.hasFocus());
    // Setting the value it has is no change.
    bar.SetValue(100);
    QCOMPARE(static_cast<int>(changes.count()), count);
}

void WidgetsTest::optionButtonsGroupedInAFrame() {
    QWidget window;
    window.resize(300, 200);
    Frame frame(QStringLiteral("boxSabl"), W("Typ šablony"), &window);
    frame.setGeometry(0, 0, 150, 200);
    std::vector<OptionButton*> options;
    Strings clicks;
    for (const char* name : {"P1", "P2", "P3", "Other"}) {
        QWidget* parent = name == std::string("Other") ? &window : static_cast<QWidget*>(&frame);
        auto* option = new OptionButton(QString::fromLatin1(name), name, parent);
        option->setGeometry(parent == &window ? 160 : 10, 30 + 40 * int(options.size()), 80, 20);
        QObject::connect(option, &OptionButton::Click, [&clicks, name] { clicks.push_back(name); });
        options.push_back(option);
    }
    QVERIFY(test::ShowActive(&window));
    auto checked = [&] {
        Strings names;
        for (OptionButton* option : options) {
            if (option->Value() == 1)
                names.push_back(option->objectName().toStdString());
        }
        return names;
    };
    // Checking one unchecks the others of its frame, whether clicked, chosen with an arrow key or
    // set by the program; clicking the checked one is no Click.
    options[0]->SetValue(1);
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(options[1], Qt::LeftButton, {}, QPoint(6, 10));
    QCOMPARE(checked(), (Strings{"P2"}));
    test::PressKey(Qt::Key_Down);
    options[3]->SetValue(1);
    QCOMPARE(checked(), (Strings{"P3", "Other"}));
    QCOMPARE(clicks, (Strings{"P1", "P2", "P3", "Other"}));
    // Value 0 leaves the frame with none checked.
    options[2]->SetValue(0);
    QCOMPARE(checked(), (Strings{"Other"}));
}

void WidgetsTest::listViewKeysTagsSortAndEvents() {
    ListView list(QStringLiteral("ArchiveList"));
    list.resize(400, 300);
    list.AddColumn("cp", W("Číslo pasu"), 100);
    list.AddColumn("pr", W("Příjmení"), 100);
    list.SetSortKey(0);
    list.BeginUpdate();
    // Two rows share a key (x10); each keeps its own tag.
    const char* const rows[][2] = {{"30", "Šafránek"}, {"10", "čech"},    {"20", "Cibulka"},
                                   {"40", "Sýkora"},   {"50", "Dvořák"},  {"10", "Bílý"},
                                   {"60", "IVAN"},     {"70", "Chalupa"}, {"80", "HORÁK"}};
    for (int tag = 0; tag < 9; ++tag)
        list.AddItem(std::string("x") + rows[tag][0], {rows[tag][0], W(rows[tag][1])}, tag);
    list.EndUpdate();
    QCOMPARE(Column(list, 0), (Strings{"10", "10", "20", "30", "40", "50", "60", "70", "80"}));

    const auto selected = list.FindItem("x30");
    list.Select(*selected);
    // Czech order, letter case ignored: B, C, Č, D, H, CH, I, S, Š; the selection stays.
    list.SetSortKey(1);
    QCOMPARE(Column(list, 1), (Strings{W("Bílý"), W("Cibulka"), W("čech"), W("Dvořák"), W("HORÁK"),
                                       W("Chalupa"), W("IVAN"), W("Sýkora"), W("Šafránek")}));
    QCOMPARE(list.SelectedItem(), selected);

    // The shortcut for plain texts (ASCII letters, digits and "/", no "ch") keeps the collation's
    // own order, also where plain texts meet others.
    CzechCollation collation;
    const char alphabet[] = {'0', '5', '9', 'a', 'A', 'c',    'C',
                             'h', 'H', 'z', 'Z', '/', '\xC1', ' '};
    std::mt19937 random(7);
    auto text = [&] {
        std::string t(random() % 6, ' ');
        for (char& c : t)
            c = alphabet[random() % sizeof alphabet];
        return t;
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (int i = 0; i < 3000; ++i) {
        const std::string a = text(), b = text();
        QVERIFY2(sign(collation.Compare(a, b)) == sign(collation.CompareTexts(a, b)),
                 (a + " | " + b).c_str());
    }
    // A list of such texts, plain and not mixed, sorts as the collation sorts them.
    ListView mixed(QStringLiteral("mixed"));
    mixed.AddColumn("t", "t", 50);
    mixed.BeginUpdate();
    for (int i = 0; i < 400; ++i)
        mixed.AddItem("", {text()}, i);
    mixed.EndUpdate();
    const Strings sorted = Column(mixed, 0);
    QCOMPARE(sorted.size(), std::size_t{400});
    for (std::size_t i = 1; i < sorted.size(); ++i)
        QVERIFY(collation.CompareTexts(sorted[i - 1], sorted[i]) <= 0);

    // Rows leave room for the háček above a capital (ŽÁK, ŘÍHA); a click below them is a Click
    // too. (Headers, rows clicked and double-clicked: the main window's archive tab.)
    QVERIFY(test::ShowActive(&list));
    QSignalSpy clicks(&list, &ListView::Click);
    QVERIFY(list.visualRect(list.model()->index(0, 0)).height() >=
            QFontMetrics(list.font()).height() + 4);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 280));
    QCOMPARE(clicks.count(), 1);
}

// Rows read where their owner keeps them: a filter shows some of them in the sort order, keeps
// the chosen row, narrows, and leaves hidden what it hid when rows are added or changed.
void WidgetsTest::listViewReadsASourceAndFilters() {
    struct Rows : ListSource {
        std::vector<std::vector<std::string>> texts;
        int Ids() const override { return static_cast<int>(texts.size()); }
        bool Alive(int) const override { return true; }
        std::string_view Text(int id, int column) const override {
            return texts[static_cast<std::size_t>(id)][static_cast<std::size_t>(column)];
        }
        std::string Key(int id) const override { return "x" + std::string(Text(id, 0)); }
        long long Tag(int id) const override { return id; }
        void Add(std::string a, std::string b) { texts.push_back({std::move(a), std::move(b)}); }
    } rows;
    for (const char* pair : {"3 Novák", "1 Černý", "2 Nováková", "4 Bílý"})
        rows.Add(std::string(pair, 1), W(pair + 2));
    ListView list(QStringLiteral("ArchiveList"));
    list.AddColumn("cp", "cp", 50);
    list.AddColumn("pr", "pr", 50);
    list.SetSource(&rows);
    QCOMPARE(Column(list, 0), (Strings{"1", "2", "3", "4"}));
    auto startsNov = [&](ListView::Id id) { return rows.Text(id, 1).substr(0, 3) == "Nov"; };
    list.Select(2);
    list.SetFilter(startsNov);
    QCOMPARE(Column(list, 0), (Strings{"2", "3"}));
    QCOMPARE(list.SelectedItem(), std::optional<ListView::Id>(2));
    list.SetSortKey(1);
    QCOMPARE(Column(list, 1), (Strings{W("Novák"), W("Nováková")}));
    QCOMPARE(list.SelectedItem(), std::optional<ListView::Id>(2));
    list.SetFilter([&](ListView::Id id) { return startsNov(id) && rows.Text(id, 1).size() > 5; },
                   true);
    QCOMPARE(Column(list, 0), (Strings{"2"}));
    // Added and taken by the filter: shown. Changed: a hidden row stays hidden, in its new place.
    // (Rows added that the filter hides, rows removed and the counts: the archive tab's search.)
    rows.Add("6", W("Nováčková"));
    list.RowAdded(4);
    rows.texts[0][1] = W("Nováčková");
    list.RowChanged(0);
    QCOMPARE(Column(list, 0), (Strings{"6", "2"}));
    list.SetFilter(nullptr);
    QCOMPARE(Column(list, 0), (Strings{"4", "1", "3", "6", "2"}));
}

void WidgetsTest::messageBoxes() {
    QWidget window;
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPointSizeF(7.75);
    window.setFont(font);
    QVERIFY(test::ShowActive(&window));
    MessageBox boxes;
    // Each kind of box: its title, text and icon, plain buttons, the window's font.
    const struct {
        std::function<void()> show;
        const char* seen;  // "title: text [buttons]"
        QMessageBox::Icon icon;
    } kinds[] = {
        {[&] { boxes.AskYesNo(&window, "Vexa", "?"); }, "Vexa: ? [&Ano &Ne]",
         QMessageBox::Question},
        {[&] { boxes.ShowWarning(&window, W("Záznam nebyl uložen!")); },
         "Warning: Záznam nebyl uložen! [OK]", QMessageBox::Warning},
        {[&] { boxes.ShowInfo(&window, "done"); }, "Info: done [OK]", QMessageBox::Information},
    };
    for (const auto& kind : kinds) {
        QString seen;
        test::WhenModalShown([&](QWidget* shown) {
            auto* box = qobject_cast<QMessageBox*>(shown);
            QVERIFY(box != nullptr && box->font() == font && box->icon() == kind.icon);
            QStringList buttons;
            for (QAbstractButton* b : box->buttons()) {
                buttons.append(b->text());
                QVERIFY(b->icon().isNull());
            }
            buttons.sort();
            seen = box->windowTitle() + ": " + box->text() + " [" + buttons.join(' ') + "]";
            test::PressKey(Qt::Key_Return);
        });
        kind.show();
        QCOMPARE(seen, QString::fromUtf8(kind.seen));
    }
    // The answers' letters, with or without Alt.
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, bool> answers[] = {
        {Qt::Key_A, Qt::NoModifier, true},
        {Qt::Key_N, Qt::NoModifier, false},
        {Qt::Key_A, Qt::AltModifier, true},
        {Qt::Key_N, Qt::AltModifier, false}};
    for (auto [key, modifiers, yes] : answers) {
        test::WhenModalShown([key, modifiers](QWidget*) { test::PressKey(key, modifiers); });
        QCOMPARE(boxes.AskYesNo(&window, "Vexa", "?"), yes);
    }
}

void WidgetsTest::dialogBordersAndPlacement() {
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    QVERIFY(test::ShowActive(&owner));
    for (Form::Border border : {Form::Border::FixedDialog, Form::Border::Sizeable}) {
        Form dialog;
        dialog.SetClientSize(3435, 1920);
        dialog.SetBorder(border);
        const bool fixed = border == Form::Border::FixedDialog;
        dialog.ShowOver(&owner, fixed);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const Qt::WindowFlags flags = dialog.windowFlags();
        QCOMPARE(flags.testFlag(Qt::WindowMinimizeButtonHint), !fixed);
        QCOMPARE(flags.testFlag(Qt::WindowMaximizeButtonHint), !fixed);
        QCOMPARE((flags & Qt::WindowType_Mask) == Qt::Dialog, fixed);
        QCOMPARE(dialog.minimumSize() == dialog.maximumSize(), fixed);
        QCOMPARE(dialog.size(), QSize(dialog.Px(3435), dialog.Px(1920)));
        QCOMPARE(dialog.windowHandle()->transientParent(), owner.windowHandle());
        if (fixed)
            QVERIFY((dialog.frameGeometry().center() - owner.frameGeometry().center())
                        .manhattanLength() <= 2);
    }
}

QTEST_MAIN(WidgetsTest)
#include "WidgetsTest.moc"
