// The children dialog driven as the clerk drives it: real widgets on the offscreen platform over
// a stand-in main window, factory settings, an in-memory port and message boxes answered in
// advance.
#include <QHeaderView>
#include <QMessageBox>
#include <QtTest>

#include "children/frmDeti.h"
#include "platform/Registry.h"
#include "platform/ui/UiText.h"
#include "printing/ChildrenPageJob.h"
#include "settings/Config.h"
#include "support/GuiSupport.h"
#include "support/TestSupport.h"

using namespace vexa;
using vexa::test::W;
using Strings = std::vector<std::string>;
using Answer = MessageBox::Answer;
using Valid = std::array<bool, 6>;

namespace {

// One opening of the dialog over a stand-in main window whose surname field holds `surname`.
class Dialog {
  public:
    explicit Dialog(std::string ownerSurname = W("NOVÁK"), bool realBoxes = false)
        : surname(std::move(ownerSurname)) {
        if (!realBoxes)
            messages.AnswerByItself();
        owner.setGeometry(100, 100, 700, 400);
    }
    ~Dialog() { delete form; }

    frmDeti& Open() {
        test::ShowActive(&owner);
        form = new frmDeti(
            &owner, record, [this] { return surname; }, config, messages, ports);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->ShowOver(&owner, true);
        test::WaitActive(form);
        return *form;
    }
    void Prevod(bool on) { config.Set(cfg::Prevod, on ? "1" : "0"); }

    template <typename T = QWidget>
    T* C(const char* name) {
        return test::Child<T>(form, name);
    }
    std::string Text(const char* name) { return dynamic_cast<TextControl*>(C(name))->Text(); }
    // The six entry fields in their tab order.
    Strings Texts() {
        return {Text("edJmeno"), Text("edPrijmeni"), Text("comSex"),
                Text("edDen"),   Text("edMesic"),    Text("edRok")};
    }
    // The clerk clicks into a field, selects what it holds and types over it.
    void Type(const char* name, const std::string& cp1250) {
        test::TypeOver(C(name), UiText::ToQt(cp1250));
    }
    // Types into a field and leaves it with Tab.
    void Enter(const char* name, const std::string& cp1250) {
        Type(name, cp1250);
        test::PressKey(Qt::Key_Tab);
    }
    void Click(const char* name) { QTest::mouseClick(C(name), Qt::LeftButton); }
    bool AddEnabled() { return C("cmdPridat")->isEnabled(); }
    // Fills the six fields (the surname only when given), leaves the year and clicks Přidat.
    void Add(const std::string& jmeno, const char* sex, const char* den, const char* mesic,
             const char* rok, const std::string& prijmeni = "") {
        Enter("edJmeno", jmeno);
        if (!prijmeni.empty())
            Enter("edPrijmeni", prijmeni);
        Enter("comSex", sex);
        Enter("edDen", den);
        Enter("edMesic", mesic);
        Enter("edRok", rok);
        Click("cmdPridat");
    }

    ListView* List() { return C<ListView>("DetiList"); }
    // The rows as shown, "text|birth date|sex".
    Strings Rows() {
        Strings rows;
        for (int row = 0; row < List()->ListCount(); ++row) {
            const ListView::Id id = List()->ItemAt(row);
            rows.push_back(List()->Text(id, 0) + "|" + List()->Text(id, 1) + "|" +
                           List()->Text(id, 2));
        }
        return rows;
    }
    void ClickRow(int row) {
        QRect rect = List()->visualRect(List()->model()->index(row, 0));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // The record's children as "name|birth date|sex".
    Strings Children() {
        Strings children;
        for (int i = 0; i < record.PocetDeti(); ++i) {
            auto c = record.DetiGet(i);
            children.push_back(c[0] + "|" + c[1] + "|" + c[2]);
        }
        return children;
    }
    Strings Shown() { return test::ShownBoxes(messages); }

    RegistryRoot registry{std::map<std::string, std::string>{}};
    Config config{registry};
    MessageBox messages;
    MemoryPortOpener ports;
    QWidget owner;
    std::string surname;
    ClientsDataCls record;
    QPointer<frmDeti> form;
};

ClientsDataCls WithChildren(std::initializer_list<std::array<const char*, 3>> children) {
    ClientsDataCls record;
    for (const auto& c : children)
        record.DetiAdd(W(c[0]), c[1], c[2]);
    return record;
}

}  // namespace

class frmDetiTest : public QObject {
    Q_OBJECT
  private slots:
    void windowControlsAndOpening();
    void fieldChecks();
    void addRemovePrintAndClose();
    void refusedAdds();
    void printMessagesOverTheDialog();
};

void frmDetiTest::windowControlsAndOpening() {
    Dialog d;
    // Stored out of birth-date order; two children share a birth date; the youngest has the
    // first birth-date text.
    d.record = WithChildren({{"EVA NOVÁKOVÁ", "01.12.2015", "F"},
                             {"JAN NOVÁK", "05.03.2001", "M"},
                             {"PETR NOVÁK", "05.03.2001", "M"}});
    frmDeti& form = d.Open();
    QCOMPARE(form.windowTitle(), QString::fromUtf8("Děti"));
    QCOMPARE(form.size(), QSize(form.Px(6600), form.Px(2955)));
    QVERIFY((form.windowFlags() & Qt::WindowType_Mask) == Qt::Dialog && form.CaptionsFit());
    QVERIFY(!d.owner.isEnabled());

    // The caret starts in the list; Tab walks the tab order (Přidat is disabled), Enter and Esc
    // mean nothing.
    QVERIFY(d.List()->hasFocus());
    QCOMPARE(test::TabWalk(11), QStringLiteral("edJmeno edPrijmeni comSex edDen edMesic edRok "
                                               "cmdOdebrat cmdTisk cmdOK cmdStorno DetiList"));
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        test::PressKey(Qt::Key_Tab);
        test::PressKey(key);
    }
    QVERIFY(form.isVisible());

    // Three columns, in twips of the list's 5175.
    const std::pair<const char*, double> columns[] = {
        {"Jméno", 2572.5}, {"Datum narození", 1537.5}, {"Pohlaví", 1020}};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(d.List()->model()->headerData(i, Qt::Horizontal).toString(),
                 QString::fromUtf8(columns[i].first));
        QCOMPARE(d.List()->header()->sectionSize(i), form.Px(columns[i].second));
    }

    // The rows in birth-date order, a shared date in the record's order.
    QCOMPARE(d.Rows(), (Strings{W("JAN NOVÁK|05.03.2001|M"), W("PETR NOVÁK|05.03.2001|M"),
                                W("EVA NOVÁKOVÁ|01.12.2015|F")}));
    // Only the surname is filled, from the main window, and counts as acceptable.
    QCOMPARE(d.Texts(), (Strings{"", W("NOVÁK"), "", "", "", ""}));
    QCOMPARE(form.FieldValid(), (Valid{false, true, false, false, false, false}));
    QVERIFY(!d.AddEnabled());

    // A child added. Each row has a key of its own (a shared birth date numbered), and OK writes
    // the rows in key order: the added capital first, then the loaded rows by birth date.
    d.Add("X", "M", "5", "3", "2001", "Y");
    Strings keys;
    for (int row = 0; row < d.List()->ListCount(); ++row)
        keys.push_back(d.List()->Key(d.List()->ItemAt(row)));
    QCOMPARE(keys, (Strings{"a20010305",
                            std::string("a20010305\0"
                                        "001",
                                        13),
                            "X20010305", "a20151201"}));
    d.Click("cmdOK");
    QVERIFY(d.owner.isEnabled());
    QTRY_VERIFY(d.form.isNull());
    QCOMPARE(d.Children(), (Strings{"X Y|05.03.2001|M", W("JAN NOVÁK|05.03.2001|M"),
                                    W("PETR NOVÁK|05.03.2001|M"), W("EVA NOVÁKOVÁ|01.12.2015|F")}));
}

void frmDetiTest::fieldChecks() {
    // An empty surname on the main window: it must be typed before Přidat can come on.
    Dialog d("");
    frmDeti& form = d.Open();
    QCOMPARE(d.Text("edPrijmeni"), std::string());
    d.Add("X", "M", "5", "3", "2001");  // Přidat is off: the click does nothing
    QCOMPARE(form.FieldValid(), (Valid{true, false, true, true, true, true}));
    QVERIFY(!d.AddEnabled());
    d.Enter("edPrijmeni", "Y");
    QVERIFY(d.AddEnabled());

    // Once on, Přidat stays on whatever is typed next; the entries follow each field's rule.
    const struct {
        const char* field;
        const char* typed;
        const char* shown;  // after leaving
        Valid valid;
    } steps[] = {
        {"edMesic", "13", "13", {true, true, true, true, false, true}},
        {"edMesic", "12", "12", {true, true, true, true, true, true}},
        // Letters are no number: the month stays accepted.
        {"edMesic", "ab", "ab", {true, true, true, true, true, true}},
        {"edDen", "32", "32", {true, true, true, false, true, true}},
        {"edDen", "13", "13", {true, true, true, true, true, true}},
        {"edRok", "ab", "ab", {true, true, true, true, true, false}},
        {"edRok", "01", "01", {true, true, true, true, true, true}},
        // A typed sex turns to capitals; X is no item and leaves the entry as it was.
        {"comSex", "x", "X", {true, true, true, true, true, true}},
        {"edJmeno", "", "", {false, true, true, true, true, true}},
        {"edJmeno", "žofie", "ŽOFIE", {true, true, true, true, true, true}},
        {"edPrijmeni", "nová", "NOVÁ", {true, true, true, true, true, true}},
    };
    for (const auto& s : steps) {
        d.Enter(s.field, W(s.typed));
        QCOMPARE(d.Text(s.field), W(s.shown));
        QCOMPARE(form.FieldValid(), s.valid);
        QVERIFY(d.AddEnabled());
    }

    // A fresh opening over a record without children, Prevod off: a small x still becomes X and
    // leaves the entry unaccepted, a small m becomes M and counts; chosen from the list (the arrow
    // key picks the next item, F), the sex counts. (Names kept as typed: a row added with Prevod
    // off, in the next test.)
    d.form->close();
    Dialog e;
    e.Prevod(false);
    frmDeti& fresh = e.Open();
    e.Enter("comSex", "x");
    QCOMPARE(std::pair(e.Text("comSex"), fresh.FieldValid()[2]),
             std::pair(std::string("X"), false));
    e.Enter("comSex", "m");
    QCOMPARE(std::pair(e.Text("comSex"), fresh.FieldValid()[2]), std::pair(std::string("M"), true));
    e.Enter("comSex", "");
    QCOMPARE(fresh.FieldValid()[2], true);  // an empty text is no item either
    e.Type("comSex", "");
    test::PressKey(Qt::Key_Down);
    QCOMPARE(std::pair(e.Text("comSex"), fresh.FieldValid()[2]), std::pair(std::string("F"), true));
}

void frmDetiTest::addRemovePrintAndClose() {
    Dialog d;
    d.Prevod(false);
    d.record =
        WithChildren({{"EVA NOVÁKOVÁ", "12.06.2015", "F"}, {"JAN NOVÁK", "05.03.2001", "M"}});
    const ClientsDataCls before = d.record;
    frmDeti& form = d.Open();

    // X Y, M, 5.3.2001: its row; the fields start again with the main window's surname.
    d.Add("X", "M", "5", "3", "2001", "Y");
    QCOMPARE(d.Rows(), (Strings{W("JAN NOVÁK|05.03.2001|M"), "X Y|05.03.2001|M",
                                W("EVA NOVÁKOVÁ|12.06.2015|F")}));
    QCOMPARE(d.Texts(), (Strings{"", W("NOVÁK"), "", "", "", ""}));
    QCOMPARE(form.FieldValid(), (Valid{false, true, false, false, false, false}));
    QVERIFY(!d.AddEnabled());

    // A first name the list has already (letter case aside) adds nothing and says nothing.
    d.Add("eva", "F", "1", "1", "2020");
    QCOMPARE(d.List()->ListCount(), 3);
    QVERIFY(d.messages.ShownBoxes().empty());
    QCOMPARE(d.Texts(), (Strings{"", W("NOVÁK"), "", "", "", ""}));

    // A small first name (Prevod is off) keeps its letters.
    d.Add(W("čeněk"), "M", "01", "01", "1999");
    QCOMPARE(d.Rows().front(), W("čeněk NOVÁK|01.01.1999|M"));

    // Storno after adding and removing: the record is as it was. Odebrat with nothing chosen
    // does nothing.
    d.Click("cmdOdebrat");
    QCOMPARE(d.List()->ListCount(), 4);
    d.ClickRow(1);
    d.Click("cmdOdebrat");
    QCOMPARE(d.List()->ListCount(), 3);
    d.Click("cmdOdebrat");
    QCOMPARE(d.List()->ListCount(), 3);
    d.Click("cmdStorno");
    QVERIFY(d.owner.isEnabled());
    QTRY_VERIFY(d.form.isNull());
    QVERIFY(d.record.Comp(before));

    // Tisk stores first, then asks: No prints nothing; Yes prints the children page of the
    // record as stored. The dialog stays open; Storno keeps the record as it was at printing.
    frmDeti& printing = d.Open();
    d.ClickRow(0);
    d.Click("cmdOdebrat");
    d.Click("cmdTisk");
    QCOMPARE(d.Shown(), (Strings{W("Tisk: Vytisknout data?")}));
    QCOMPARE(std::pair(d.ports.OpenCount(), d.record.PocetDeti()), std::pair(0, 1));
    const Strings atPrinting = d.Children();
    d.messages.AnswerNext(Answer::Yes);
    d.Click("cmdTisk");
    QCOMPARE(d.ports.Bytes(), test::JobBytes([&](PortOpener& port, Notifier& notes) {
                 return ChildrenPageJob(d.config, port, notes).PrintChildrenPage(d.record);
             }));
    QVERIFY(printing.isVisible());
    QCOMPARE(d.messages.Unanswered(), 1);  // the first question, answered No
    d.Add("Z", "F", "2", "2", "2002");
    d.Click("cmdStorno");
    QCOMPARE(d.Children(), atPrinting);

    // The close box stores nothing and enables the main window too.
    d.Open();
    d.Add("Z", "F", "2", "2", "2002");
    const ClientsDataCls stored = d.record;
    d.form->close();
    QVERIFY(d.owner.isEnabled());
    QVERIFY(d.record.Comp(stored));
}

void frmDetiTest::refusedAdds() {
    Dialog d;
    d.record = WithChildren({{"JAN NOVÁK", "05.03.2001", "M"}});
    d.Open();

    // No real calendar date (which dates are is the rules' table): told, no row, the fields as
    // typed, the caret in the day; Přidat stays on for the correction.
    d.Add("EMA", "F", "31", "02", "2001");
    QCOMPARE(d.Shown(), (Strings{W("Warning: Datum narození není platné datum.")}));
    QCOMPARE(d.List()->ListCount(), 1);
    QCOMPARE(d.Texts(), (Strings{"EMA", W("NOVÁK"), "F", "31", "02", "2001"}));
    QVERIFY(d.C("edDen")->hasFocus());
    QVERIFY(d.AddEnabled());
    d.Enter("edDen", "28");
    d.Click("cmdPridat");
    QCOMPARE(d.List()->ListCount(), 2);

    // A hand-edited record with 25 children: every one listed and written back; a child is added
    // only while fewer than 20 are listed.
    Dialog big;
    for (int i = 0; i < 25; ++i)
        big.record.DetiAdd("D" + std::to_string(i), "01.01.2000", "F");
    big.Open();
    QCOMPARE(big.List()->ListCount(), 25);
    big.Click("cmdTisk");  // answered No: only stored
    QCOMPARE(big.record.PocetDeti(), 25);
    for (int remaining : {25, 20}) {
        for (int listed = big.List()->ListCount(); listed > remaining; --listed) {
            big.ClickRow(0);
            big.Click("cmdOdebrat");
        }
        big.messages.ClearShown();
        big.Add("NEW", "M", "1", "1", "2001");
        QCOMPARE(big.Shown(), (Strings{W("Warning: V seznamu může být nejvýše 20 dětí. "
                                         "Další dítě nelze přidat.")}));
        QCOMPARE(big.List()->ListCount(), remaining);
        QCOMPARE(big.Text("edJmeno"), std::string("NEW"));
    }
    big.ClickRow(0);
    big.Click("cmdOdebrat");
    big.messages.ClearShown();
    big.Click("cmdPridat");
    QCOMPARE(big.List()->ListCount(), 20);
    QVERIFY(big.messages.ShownBoxes().empty());
    big.Click("cmdOK");
    QCOMPARE(big.record.PocetDeti(), 20);
}

void frmDetiTest::printMessagesOverTheDialog() {
    // Real boxes: the question, answered with a click on "Ano", then the job's own message,
    // shown over the dialog.
    Dialog d(W("NOVÁK"), true);
    d.record = WithChildren({{"JAN NOVÁK", "05.03.2001", "M"}});
    d.ports.FailOpen("Permission denied");
    frmDeti& form = d.Open();
    // The job's own message, as it tells it.
    test::CollectingNotifier expected;
    MemoryPortOpener failing;
    failing.FailOpen("Permission denied");
    ChildrenPageJob(d.config, failing, expected).PrintChildrenPage(d.record);

    QStringList seen;
    test::WhenModalShown([&](QWidget* question) {
        auto* box = qobject_cast<QMessageBox*>(question);
        QVERIFY(box != nullptr);
        seen.append(box->windowTitle() + ": " + box->text());
        test::WhenModalShown([&seen, &form, question](QWidget* warning) {
            auto* told = qobject_cast<QMessageBox*>(warning);
            QVERIFY(told != nullptr && warning != question);
            QVERIFY(warning->parentWidget() == &form);
            seen.append(told->windowTitle() + ": " + told->text());
            QTest::mouseClick(told->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
    d.Click("cmdTisk");
    QCOMPARE(seen, (QStringList{QString::fromUtf8("Tisk: Vytisknout data?"),
                                "Warning: " + UiText::ToQt(expected.Messages.at(0))}));
    QVERIFY(form.isVisible());
}

QTEST_MAIN(frmDetiTest)
#include "frmDetiTest.moc"
