// The main window driven as the clerk drives it: real widgets on the offscreen platform, a
// fresh registry and archive in temporary directories for every test, and message boxes
// answered in advance.
#include <QHeaderView>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/frmVexa.h"
#include "platform/Dates.h"
#include "platform/ui/UiText.h"
#include "support/TestSupport.h"

using namespace vexa;
using vexa::test::W;
using Strings = std::vector<std::string>;
using Answer = MessageBox::Answer;

namespace {

std::string Today() {
    return Dates::Format(Dates::Today());
}

std::string InDays(const std::string& date, long days) {
    return Dates::Format(Dates::AddDays(*Dates::Parse(date), days));
}

// A valid birth number of a man and of a woman, both born 12.06.1985.
const char* const kManDate = "850612";
const char* const kManRest = "1239";
const char* const kWomanDate = "855612";
const char* const kWomanRest = "1233";
const std::string kManRc = std::string(kManDate) + "/" + kManRest;

// An archive line; a record of these is what FillRecord types.
std::string Line(const std::string& number, const std::string& surname, const std::string& rc,
                 const std::string& issued = "01.02.2020",
                 const std::string& expires = "01.02.2030") {
    return number + ";" + surname + ";JAN;" + rc + ";BRNO;" + issued + ";" + expires +
           W(";MÚ BRNO") + "\r\n";
}

// One run of the program: its directories, registry, settings, message boxes and window.
class Run {
  public:
    Run() {
        dirs.userConfig = tmp / "config";
        dirs.systemConfig = tmp / "system";
        dirs.userData = tmp / "data";
        messages.AnswerByItself();
    }

    std::string ArchiveDir() const { return dirs.userData + "/Lomar/Vexa"; }
    std::string ArchivePath() const { return ArchiveDir() + "/Archive.db"; }
    void WriteArchive(const std::string& cp1250) {
        std::filesystem::create_directories(ArchiveDir());
        test::WriteFile(ArchivePath(), cp1250);
    }
    // Sets a value under Software\Lomar\Vexa of the current user (or of the default user), as
    // an earlier run would have.
    void SetValue(const std::string& name, const std::string& value, bool defaultUser = false) {
        RegistryRoot registry(dirs);
        auto key = registry.OpenKey(defaultUser ? "\\HKEY_USERS" : "\\HKEY_CURRENT_USER");
        for (const char* sub : {".DEFAULT", "Software", "Lomar", "Vexa"}) {
            if (key && (defaultUser || sub[0] != '.'))
                key = Config::OpenOrCreateKey(*key, sub);
        }
        QVERIFY(key && key->AddValue(name, value));
    }
    // The value of a setting as the registry holds it after the run, or nothing.
    std::optional<std::string> SavedSetting(const std::string& name) const {
        RegistryRoot registry(dirs);
        auto key = registry.OpenKey("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa");
        for (int i = 0; key && i < key->ValueCount(); ++i) {
            if (key->ValueName(i) == name)
                return key->ValueData(i);
        }
        return std::nullopt;
    }

    frmVexa& Start() {
        registry = std::make_unique<RegistryRoot>(dirs);
        config = std::make_unique<Config>(*registry);
        form = std::make_unique<frmVexa>(*config, ArchiveDir(), messages);
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("window not active");
        return *form;
    }
    void Close() { form->close(); }

    template <typename T = QWidget>
    T* C(const char* name) {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr)
            qFatal("no control %s", name);
        return control;
    }
    ListView* List() { return C<ListView>("ArchiveList"); }
    int Tab() { return C<TabControl>("VexaMainTab")->Tab(); }
    bool Enabled(const char* name) { return C(name)->isEnabled(); }
    bool HasFocus(const char* name) { return C(name)->hasFocus(); }
    std::string Text(const char* name) { return dynamic_cast<TextControl*>(C(name))->Text(); }
    Strings Texts(std::initializer_list<const char*> names) {
        Strings texts;
        for (const char* name : names)
            texts.push_back(Text(name));
        return texts;
    }
    std::string Setting(cfg::Setting setting) { return config->Settings[setting]; }

    // The user types into a field: it gets the focus, then the keys.
    void Type(const char* name, const std::string& cp1250) {
        QWidget* w = C(name);
        w->setFocus(Qt::MouseFocusReason);
        QLineEdit* edit = qobject_cast<QLineEdit*>(w);
        if (edit == nullptr)
            edit = qobject_cast<QComboBox*>(w)->lineEdit();
        edit->selectAll();
        edit->insert(UiText::ToQt(cp1250));
    }
    void Focus(const char* name) { C(name)->setFocus(); }
    void Click(const char* name) { QTest::mouseClick(C(name), Qt::LeftButton); }
    void ClickTab(int index) {
        QTabBar* bar = C<TabControl>("VexaMainTab")->Bar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // Fills every holder field as a complete record.
    void FillRecord(const std::string& number, const std::string& surname) {
        Type("edPrijmeni", surname);
        Type("edJmeno", "JAN");
        Type("edRC_date", kManDate);
        Type("edRC_rest", kManRest);
        Type("edMistoNarozeni", "BRNO");
        Type("edCisloPasu", number);
        Type("edPasVydal", W("MÚ BRNO"));
        Focus("edDatumVydani");  // leaving the birth number fills date and sex
    }
    void ClickRow(int row, bool twice = false) {
        QRect rect = List()->visualRect(List()->model()->index(row, 0));
        if (twice)
            QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
        else
            QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void ClickRowOf(const std::string& number) {
        auto id = List()->FindItem("x" + number);
        QVERIFY(id.has_value());
        ClickRow(List()->RowOf(*id));
    }
    // Opens an archived record from the list with Editovat.
    void Open(const std::string& number) {
        ClickTab(1);
        ClickRowOf(number);
        Click("cmdEdit");
    }
    Strings ListColumn(int column) {
        Strings texts;
        for (int r = 0; r < List()->ListCount(); ++r)
            texts.push_back(List()->Text(List()->ItemAt(r), column));
        return texts;
    }
    Strings Shown() {
        Strings texts;
        for (const auto& shown : messages.ShownBoxes())
            texts.push_back(shown.text);
        return texts;
    }
    const MessageBox::Shown& Box(std::size_t i) { return messages.ShownBoxes().at(i); }

    test::TempDir tmp;
    XdgDirs dirs;
    std::unique_ptr<RegistryRoot> registry;
    std::unique_ptr<Config> config;
    MessageBox messages;
    std::unique_ptr<frmVexa> form;
};

}  // namespace

class frmVexaTest : public QObject {
    Q_OBJECT
  private slots:
    void startUpWithoutArchiveOrRegistry();
    void startUpWithArchiveAndRegistry();
    void tabSwitchKeepsTypedData();
    void expiryLeftEmptyWhenItCannotBeComputed();
    void capitalsOnlyWithAppliedPrevod();
    void leavingTheBirthNumber();
    void saveIncompleteNewEqualAndChanged();
    void askSaveChangesOnLeavingTheTabAndAtExit();
    void smazatStartsANewRecord();
    void openAndRemoveWithSortedListAndFreedSlots();
    void settingsTab();
    void archiveThatCannotBeWrittenAtExit();
    void archiveThatCannotBeReadAtStart();
};

void frmVexaTest::startUpWithoutArchiveOrRegistry() {
    Run run;
    frmVexa& form = run.Start();
    QCOMPARE(run.List()->ListCount(), 0);
    QCOMPARE(run.Tab(), 0);
    QCOMPARE(run.Texts({"edPrijmeni", "edDatumVydani", "edDatumZneplatneni", "edPasVydal",
                        "edPlatnost", "comLpt", "comZpusobTisku"}),
             (Strings{"", Today(), InDays(Today(), 365), "", "365", "lpt1", W("Naváděcích bodů")}));
    QCOMPARE(run.C<CheckBox>("chkPrevod")->Value(), 1);
    // The defaults became part of the record itself.
    QCOMPARE(form.CurUserData.DatumVydani, Today());
    QCOMPARE(form.CurUserData.Platnost, InDays(Today(), 365));
    QVERIFY(run.messages.ShownBoxes().empty());

    // A fixed window whose captions fit; Tab goes through the holder fields in their order.
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.CaptionsFit());
    QStringList order;
    for (QWidget* w = run.C("edPrijmeni"); order.size() < 13; w = w->nextInFocusChain()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QStringLiteral("qt_")))
            order << w->objectName();
    }
    QCOMPARE(order,
             (QStringList{"edPrijmeni", "edJmeno", "edRC_date", "edRC_rest", "edMistoNarozeni",
                          "edCisloPasu", "edDN_Den", "edDN_Mesic", "edDN_Rok", "comSex",
                          "edDatumVydani", "edDatumZneplatneni", "edPasVydal"}));

    // An exit with no archive file writes an empty one.
    run.Close();
    QCOMPARE(test::ReadFile(run.ArchivePath()), std::string());
    QVERIFY(std::filesystem::exists(run.ArchivePath()));
}

void frmVexaTest::startUpWithArchiveAndRegistry() {
    Run run;
    run.SetValue("Vydejce", W("MÚ PRAHA"), true);
    run.SetValue("Platnost", "10", true);
    run.SetValue("Platnost", "30");
    run.SetValue("ZpusobTisku", "1");
    // Two records share a document number (a hand-edited file); one birth number lacks "/".
    run.WriteArchive(Line("B2", W("ŠŤASTNÝ"), kManRc) + Line("A1", W("ČERNÝ"), "8506121239") +
                     Line("B2", W("DVOŘÁK"), ""));
    frmVexa& form = run.Start();
    QCOMPARE(form.Archive().Pocet(), 3);
    QCOMPARE(run.ListColumn(0), (Strings{"A1", "B2", "B2"}));
    QCOMPARE(run.Texts({"edPasVydal", "edDatumZneplatneni", "comZpusobTisku"}),
             (Strings{W("MÚ PRAHA"), InDays(Today(), 30), W("Šablony")}));

    // Both rows of the shared number open their own record.
    run.ClickTab(1);
    run.List()->SetSortKey(1);
    QCOMPARE(run.ListColumn(1), (Strings{W("ČERNÝ"), W("DVOŘÁK"), W("ŠŤASTNÝ")}));
    run.List()->Select(run.List()->ItemAt(1));
    run.Click("cmdEdit");  // disabled until a click into the list: nothing happens
    QCOMPARE(run.Tab(), 1);
    run.ClickRow(1, true);
    QCOMPARE(run.Tab(), 0);
    QCOMPARE(run.Text("edPrijmeni"), W("DVOŘÁK"));

    // The birth number without "/" is shown whole, nothing cut, and read back unchanged.
    run.ClickTab(1);
    run.ClickRow(0, true);
    QCOMPARE(run.Texts({"edPrijmeni", "edRC_date", "edRC_rest"}),
             (Strings{W("ČERNÝ"), "8506121239", ""}));
    run.ClickTab(1);
    QCOMPARE(form.CurUserData.rc, std::string("8506121239/"));
}

void frmVexaTest::tabSwitchKeepsTypedData() {
    Run run;
    frmVexa& form = run.Start();
    run.Type("edPrijmeni", "NOVAK");
    run.Type("edCisloPasu", "123");
    run.Type("edDatumZneplatneni", "");
    run.ClickTab(1);
    QCOMPARE(form.CurUserData.Prijmeni, std::string("NOVAK"));
    run.ClickTab(0);
    // An emptied expiry date is computed again on entering the tab.
    QCOMPARE(run.Texts({"edPrijmeni", "edCisloPasu", "edDatumZneplatneni"}),
             (Strings{"NOVAK", "123", InDays(Today(), 365)}));
    QVERIFY(run.messages.ShownBoxes().empty());

    // A birth number whose date part was emptied stays in the record.
    run.Type("edRC_date", kManDate);
    run.Type("edRC_rest", kManRest);
    run.ClickTab(1);
    run.ClickTab(0);
    run.Type("edRC_date", "");
    run.ClickTab(1);
    run.ClickTab(0);
    QCOMPARE(run.Text("edRC_date"), std::string(kManDate));
}

void frmVexaTest::expiryLeftEmptyWhenItCannotBeComputed() {
    Run run;
    run.SetValue("Platnost", "rok");
    run.WriteArchive(Line("P1", "NOVAK", "", "31.02.2020", ""));
    frmVexa& form = run.Start();
    QCOMPARE(run.Texts({"edDatumVydani", "edDatumZneplatneni"}), (Strings{Today(), ""}));

    // A readable period, but an issue date that is no date; the clerk types the expiry.
    run.ClickTab(2);
    run.Type("edPlatnost", "365");
    run.Click("cmdPouzit");
    run.Open("P1");
    QCOMPARE(run.Texts({"edDatumVydani", "edDatumZneplatneni"}), (Strings{"31.02.2020", ""}));
    run.Type("edDatumZneplatneni", "01.03.2030");
    run.ClickTab(1);
    QCOMPARE(form.CurUserData.Platnost, std::string("01.03.2030"));
}

void frmVexaTest::capitalsOnlyWithAppliedPrevod() {
    Run run;
    run.Start();
    const char* const fields[][3] = {{"edPrijmeni", "novák", "NOVÁK"},
                                     {"edJmeno", "žofie", "ŽOFIE"},
                                     {"edMistoNarozeni", "český krumlov", "ČESKÝ KRUMLOV"},
                                     {"edPasVydal", "úřad", "ÚŘAD"},
                                     {"edCisloPasu", "ab12", "ab12"}};
    for (const auto& field : fields) {
        run.Type(field[0], W(field[1]));
        run.Focus("edDatumVydani");
        QCOMPARE(run.Text(field[0]), W(field[2]));
    }

    // Clearing the check box does nothing until it is applied.
    run.ClickTab(2);
    run.C<CheckBox>("chkPrevod")->SetValue(0);
    for (const char* expected : {"MÚ BRNO", "mú brno"}) {
        run.Type("edVydejce", W("mú brno"));
        run.Focus("edPlatnost");
        QCOMPARE(run.Text("edVydejce"), W(expected));
        run.Click("cmdPouzit");
    }
    QCOMPARE(run.Setting(cfg::Prevod), std::string("0"));
    run.ClickTab(0);
    run.Type("edPrijmeni", W("svoboda"));
    run.Focus("edJmeno");
    QCOMPARE(run.Text("edPrijmeni"), W("svoboda"));
}

void frmVexaTest::leavingTheBirthNumber() {
    Run run;
    run.Start();
    for (auto [date, rest, sex] :
         {std::tuple{kManDate, kManRest, "M"}, std::tuple{kWomanDate, kWomanRest, "F"}}) {
        run.Type("edRC_date", date);
        run.Type("edRC_rest", rest);
        run.Focus("edMistoNarozeni");
        QCOMPARE(run.Texts({"edDN_Den", "edDN_Mesic", "edDN_Rok", "comSex"}),
                 (Strings{"12", "06", "1985", sex}));
    }

    // A wrong check digit sends the clerk back with the date part selected; nothing cleared.
    run.Type("edRC_rest", "1230");
    run.Focus("edMistoNarozeni");
    TextBox* date = run.C<TextBox>("edRC_date");
    QVERIFY(date->hasFocus());
    QCOMPARE(date->SelStart(), 0);
    QCOMPARE(date->SelLength(), 6);
    QCOMPARE(run.Texts({"edDN_Den", "comSex"}), (Strings{"12", "F"}));

    // A click on Uložit that leaves an invalid birth number does not save.
    run.Type("edRC_rest", "1230");
    run.Click("cmdUlozit");
    QVERIFY(date->hasFocus());
    QVERIFY(run.messages.ShownBoxes().empty());
}

void frmVexaTest::saveIncompleteNewEqualAndChanged() {
    Run run;
    frmVexa& form = run.Start();
    // Incomplete: the focus goes to the first empty field in the record's order (comSex comes
    // before edMistoNarozeni there, after it on screen); nothing is saved nor copied.
    run.FillRecord("P1", "NOVAK");
    run.Type("edMistoNarozeni", "");
    run.Type("comSex", "");
    run.Click("cmdUlozit");
    QCOMPARE(run.Shown(), (Strings{W("Záznam nebyl uložen!")}));
    QCOMPARE(run.Box(0).title, std::string("Warning"));
    QVERIFY(run.HasFocus("comSex"));
    QCOMPARE(form.Archive().Pocet(), 0);
    QCOMPARE(form.CurUserData.CisloPasu, std::string());

    // New: saved and listed.
    run.messages.ClearShown();
    run.Type("comSex", "M");
    run.Type("edMistoNarozeni", "BRNO");
    run.Click("cmdUlozit");
    QCOMPARE(run.Shown(), (Strings{W("Záznam byl úspěšně uložen")}));
    QCOMPARE(run.Box(0).title, std::string("Info"));
    QCOMPARE(run.ListColumn(1), (Strings{"NOVAK"}));
    QCOMPARE(run.ListColumn(3), (Strings{kManRc}));

    // Equal: nothing happens.
    run.messages.ClearShown();
    run.Click("cmdUlozit");
    QVERIFY(run.messages.ShownBoxes().empty());
    QCOMPARE(form.Archive().Pocet(), 1);

    // Changed: No keeps the archive and the list; Yes updates both in place.
    run.Type("edPrijmeni", "NOVY");
    for (Answer answer : {Answer::No, Answer::Yes}) {
        run.messages.ClearShown();
        run.messages.AnswerNext(answer);
        run.Click("cmdUlozit");
        QCOMPARE(run.Shown().front(),
                 W("Pas s číslem P1 již existuje. Chcete přesto změny uložit?"));
        QCOMPARE(run.Box(0).title, W("Varování"));
        QVERIFY(run.Box(0).buttons == MessageBox::Buttons::YesNo);
        const char* shown = answer == Answer::Yes ? "NOVY" : "NOVAK";
        QCOMPARE(form.Archive().GetItem(0)->Prijmeni, std::string(shown));
        QCOMPARE(run.ListColumn(1), (Strings{shown}));
    }
    QCOMPARE(run.Shown().back(), W("Záznam byl uložen"));

    // A new document number adds a second record; the first stays.
    run.Type("edCisloPasu", "P2");
    run.Click("cmdUlozit");
    QCOMPARE(run.ListColumn(0), (Strings{"P1", "P2"}));
    QCOMPARE(run.messages.Unanswered(), 0);
}

void frmVexaTest::askSaveChangesOnLeavingTheTabAndAtExit() {
    Run run;
    run.WriteArchive(Line("P1", "NOVAK", kManRc) + Line("P2", W("ŽÁK"), kManRc));
    frmVexa& form = run.Start();
    run.Open("P1");
    QCOMPARE(run.Text("edPrijmeni"), std::string("NOVAK"));
    QVERIFY(run.HasFocus("edPrijmeni"));
    QVERIFY(run.messages.ShownBoxes().empty());  // opening asks nothing

    // Leaving the tab, Yes: saved, the row changed.
    run.Type("edJmeno", "PETR");
    run.messages.AnswerNext(Answer::Yes);
    run.ClickTab(1);
    QCOMPARE(run.Shown(),
             (Strings{W("Záznam byl změněn. Chcete jej uložit?"), W("Záznam byl uložen")}));
    QCOMPARE(run.Box(0).title, std::string("Vexa"));
    QCOMPARE(form.Archive().GetItem(0)->Jmeno, std::string("PETR"));
    QCOMPARE(run.ListColumn(2), (Strings{"PETR", "JAN"}));

    // An incomplete record asks nothing.
    run.messages.ClearShown();
    run.ClickTab(0);
    run.Type("edMistoNarozeni", "");
    run.ClickTab(1);
    QVERIFY(run.messages.ShownBoxes().empty());
    QCOMPARE(form.Archive().GetItem(0)->MistoNarozeni, std::string("BRNO"));

    // At exit, No: the settings are written, then the archive without the refused change.
    run.Open("P2");
    run.Type("edJmeno", "PETR");
    form.CurUserData.DetiAdd("X", "01.01.2010", "F");  // not on screen yet: no change counted
    run.messages.AnswerNext(Answer::No);
    run.Close();
    QCOMPARE(run.Shown(), (Strings{W("Záznam byl změněn. Chcete jej uložit?")}));
    QCOMPARE(run.SavedSetting("NVHorzTabNS"), std::optional<std::string>("-51"));
    QCOMPARE(run.SavedSetting("Platnost"), std::optional<std::string>("365"));
    std::string saved = Line("P1", "NOVAK", kManRc) + Line("P2", W("ŽÁK"), kManRc);
    QCOMPARE(test::ReadFile(run.ArchivePath()), saved.replace(saved.find("JAN"), 3, "PETR"));
}

void frmVexaTest::smazatStartsANewRecord() {
    Run run;
    run.SetValue("Vydejce", W("MÚ BRNO"));
    run.WriteArchive(Line("P1", "NOVAK", kManRc));
    frmVexa& form = run.Start();
    run.Open("P1");
    run.Type("edJmeno", "PETR");
    form.CurUserData.DetiAdd("A B", "01.01.2010", "M");
    run.Click("cmdSmazat");
    QVERIFY(run.messages.ShownBoxes().empty());
    QCOMPARE(run.Texts({"edPrijmeni", "edJmeno", "edRC_date", "edRC_rest", "edDN_Den", "edDN_Mesic",
                        "edDN_Rok", "comSex", "edMistoNarozeni", "edCisloPasu", "edDatumVydani",
                        "edDatumZneplatneni", "edPasVydal"}),
             (Strings{"", "", "", "", "", "", "", "", "", "", Today(), InDays(Today(), 365),
                      W("MÚ BRNO")}));
    QCOMPARE(form.CurUserData.PocetDeti(), 0);
    QVERIFY(run.HasFocus("edPrijmeni"));
    QCOMPARE(form.Archive().GetItem(0)->Jmeno, std::string("JAN"));
}

void frmVexaTest::openAndRemoveWithSortedListAndFreedSlots() {
    Run run;
    run.WriteArchive(Line("C3", "ADAM", "") + Line("A1", "CIHLA", "") + Line("B2", "BENES", ""));
    frmVexa& form = run.Start();
    run.ClickTab(1);
    QVERIFY(!run.Enabled("cmdEdit"));
    QHeaderView* header = run.List()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionPosition(1) + 5, header->height() / 2));
    QCOMPARE(run.ListColumn(1), (Strings{"ADAM", "BENES", "CIHLA"}));

    // Remove BENES (slot 2): its slot stays free.
    run.ClickRowOf("B2");
    QVERIFY(run.Enabled("cmdOdebrat"));
    run.Click("cmdOdebrat");
    QCOMPARE(run.ListColumn(1), (Strings{"ADAM", "CIHLA"}));
    QVERIFY(form.Archive().GetItem(2) == nullptr);
    QCOMPARE(form.Archive().Pocet(), 3);

    // A new record takes the next slot, not the freed one.
    run.ClickTab(0);
    run.Click("cmdSmazat");
    run.FillRecord("D4", "BARTA");
    run.Click("cmdUlozit");
    ListView* list = run.List();
    QCOMPARE(run.ListColumn(1), (Strings{"ADAM", "BARTA", "CIHLA"}));
    QCOMPARE(list->Tag(*list->FindItem("xD4")), 3LL);

    // Each remaining row still opens its own record; the buttons wait for a click each time.
    for (const char* number : {"A1", "C3", "D4"}) {
        run.ClickTab(1);
        QVERIFY(!run.Enabled("cmdEdit") && !run.Enabled("cmdOdebrat"));
        run.ClickRowOf(number);
        run.Click("cmdEdit");
        QCOMPARE(run.Text("edCisloPasu"), std::string(number));
    }
    // Removing the record that is open keeps it on screen; saving it adds it anew.
    run.ClickTab(1);
    run.ClickRowOf("D4");
    run.Click("cmdOdebrat");
    run.ClickTab(0);
    QCOMPARE(run.Text("edPrijmeni"), std::string("BARTA"));
    run.Click("cmdUlozit");
    QCOMPARE(form.Archive().Pocet(), 5);
    QCOMPARE(list->Tag(*list->FindItem("xD4")), 4LL);
}

void frmVexaTest::settingsTab() {
    Run run;
    run.SetValue("HorzShift", "12");
    run.Start();
    run.ClickTab(2);
    auto buttons = [&] { return std::pair{run.Enabled("cmdPouzit"), run.Enabled("cmdPuvodni")}; };
    QCOMPARE(buttons(), std::pair(false, false));

    // Leaving comFont unchanged, or comLpt with a name that is no item, enables nothing.
    for (auto [combo, text] : {std::pair{"comFont", "10 cpi"}, std::pair{"comLpt", "lpt9"}}) {
        run.Type(combo, text);
        run.Focus("edVydejce");
    }
    QCOMPARE(buttons(), std::pair(false, false));
    run.Type("comLpt", "lpt2");
    run.Focus("edVydejce");
    QCOMPARE(buttons(), std::pair(true, true));
    // Původní reloads and disables only Použít.
    run.Click("cmdPuvodni");
    QCOMPARE(run.Text("comLpt"), std::string("lpt1"));
    QCOMPARE(buttons(), std::pair(false, true));

    // A name that is no item is still stored by a Použít enabled by another edit.
    run.Type("comLpt", "lpt9");
    run.Type("edPlatnost", "30");
    run.C<CheckBox>("chkSmer")->SetValue(1);
    run.Click("cmdPouzit");
    QCOMPARE(
        (Strings{run.Setting(cfg::Port), run.Setting(cfg::Platnost), run.Setting(cfg::SmerTisku)}),
        (Strings{"lpt9", "30", "1"}));
    QCOMPARE(buttons(), std::pair(false, false));

    // Choosing the method already in force enables nothing; the other one enables both.
    auto* method = run.C<ComboBox>("comZpusobTisku");
    for (bool enables : {true, false}) {
        method->setFocus();
        method->setCurrentIndex(0);
        QTest::keyClick(method, Qt::Key_Down);
        QCOMPARE(run.Text("comZpusobTisku"), W("Šablony"));
        QCOMPARE(buttons(), std::pair(enables, enables));
        run.Click("cmdPouzit");
    }
    QCOMPARE(run.Setting(cfg::ZpusobTisku), std::string("1"));

    // Edits not applied are gone after another tab; the applied period serves the next record.
    run.Type("edPlatnost", "99");
    run.ClickTab(0);
    run.ClickTab(2);
    QCOMPARE(run.Text("edPlatnost"), std::string("30"));
    QCOMPARE(buttons(), std::pair(false, false));
    run.ClickTab(0);
    run.Click("cmdSmazat");
    QCOMPARE(run.Text("edDatumZneplatneni"), InDays(Today(), 30));

    // Defaultní resets every setting, shown ones and others, and disables both buttons.
    run.ClickTab(2);
    run.Type("edVydejce", "X");
    run.Click("cmdDefault");
    QCOMPARE(run.Setting(cfg::HorzShift), std::string("0"));
    QCOMPARE(run.Texts({"comLpt", "edVydejce", "edPlatnost"}), (Strings{"lpt1", "", "365"}));
    QCOMPARE(buttons(), std::pair(false, false));
    run.Close();
    QCOMPARE(run.SavedSetting("Port"), std::optional<std::string>("lpt1"));
    QCOMPARE(run.SavedSetting("HorzShift"), std::optional<std::string>("0"));
}

void frmVexaTest::archiveThatCannotBeWrittenAtExit() {
    Run run;
    // Where the archive's directory should be created there is a file.
    std::filesystem::create_directories(run.dirs.userData);
    test::WriteFile(run.dirs.userData + "/Lomar", "in the way");
    run.Start();
    run.FillRecord("P1", "NOVAK");
    run.Click("cmdUlozit");
    run.messages.ClearShown();
    run.messages.AnswerNext(Answer::Yes);
    run.messages.AnswerNext(Answer::No);
    run.Close();
    // Tried, asked; tried again, asked; then ended.
    QCOMPARE(run.messages.ShownBoxes().size(), std::size_t(2));
    QCOMPARE(run.messages.Unanswered(), 0);
    QCOMPARE(run.Box(0).title, W("Varování"));
    QVERIFY(run.Box(0).icon == MessageBox::Icon::Warning);
    QVERIFY(run.Box(0).buttons == MessageBox::Buttons::YesNo);
    QVERIFY(run.Box(0).text.find(run.ArchivePath()) != std::string::npos);
    QVERIFY(run.Box(0).text.find("Not a directory") != std::string::npos);
    // The settings were saved before; what stood in the way is untouched.
    QCOMPARE(run.SavedSetting("Port"), std::optional<std::string>("lpt1"));
    QCOMPARE(test::ReadFile(run.dirs.userData + "/Lomar"), std::string("in the way"));
}

void frmVexaTest::archiveThatCannotBeReadAtStart() {
    Run run;
    // Archive.db exists but cannot be read as a file.
    std::filesystem::create_directories(run.ArchivePath());
    test::WriteFile(run.ArchivePath() + "/keep", "x");
    frmVexa& form = run.Start();
    QCOMPARE(run.messages.ShownBoxes().size(), std::size_t(1));
    QCOMPARE(run.Box(0).title, std::string("Warning"));
    QVERIFY(run.Box(0).text.find(run.ArchivePath()) != std::string::npos);
    QCOMPARE(form.Archive().Pocet(), 0);
    QCOMPARE(run.List()->ListCount(), 0);

    // Told at exit that nothing was written; the file was not touched.
    run.FillRecord("P1", "NOVAK");
    run.Click("cmdUlozit");
    run.messages.ClearShown();
    run.Close();
    QCOMPARE(run.messages.ShownBoxes().size(), std::size_t(1));
    QCOMPARE(run.Box(0).title, std::string("Warning"));
    QVERIFY(std::filesystem::is_directory(run.ArchivePath()));
    QCOMPARE(test::ReadFile(run.ArchivePath() + "/keep"), std::string("x"));
}

QTEST_MAIN(frmVexaTest)
#include "frmVexaTest.moc"
