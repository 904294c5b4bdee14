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
    // Sets a value under a root's Software\Lomar\Vexa key, as an earlier run would have.
    void SetRegistryValue(const std::string& keyPath, const std::string& name,
                          const std::string& value) {
        RegistryRoot registry(dirs);
        std::string root = keyPath.substr(0, keyPath.find('\\', 1));
        auto key = registry.OpenKey(root);
        QVERIFY(key.has_value());
        std::string rest = keyPath.substr(root.size());
        std::size_t start = 1;
        while (start < rest.size()) {
            std::size_t end = rest.find('\\', start);
            if (end == std::string::npos)
                end = rest.size();
            key = Config::OpenOrCreateKey(*key, rest.substr(start, end - start));
            QVERIFY(key.has_value());
            start = end + 1;
        }
        QVERIFY(key->AddValue(name, value));
    }
    // The value of a setting as the registry holds it after the run, or nothing.
    std::optional<std::string> SavedSetting(const std::string& name) const {
        RegistryRoot registry(dirs);
        auto key = registry.OpenKey("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa");
        if (!key)
            return std::nullopt;
        for (int i = 0; i < key->ValueCount(); ++i) {
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

    template <typename T>
    T* C(const char* name) {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr)
            qFatal("no control %s", name);
        return control;
    }
    TextBox* Box(const char* name) { return C<TextBox>(name); }
    std::string Text(const char* name) {
        QWidget* w = C<QWidget>(name);
        if (auto* box = qobject_cast<TextBox*>(w))
            return box->Text();
        return qobject_cast<ComboBox*>(w)->Text();
    }

    // The user types into a field: it gets the focus, then the keys.
    void Type(const char* name, const std::string& cp1250) {
        QWidget* w = form->findChild<QWidget*>(QString::fromLatin1(name));
        w->setFocus(Qt::MouseFocusReason);
        QLineEdit* edit = qobject_cast<QLineEdit*>(w);
        if (edit == nullptr)
            edit = qobject_cast<QComboBox*>(w)->lineEdit();
        edit->selectAll();
        edit->insert(UiText::ToQt(cp1250));
    }
    void Click(const char* name) { QTest::mouseClick(C<QWidget>(name), Qt::LeftButton); }
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
        Box("edDatumVydani")->setFocus();  // leaving the birth number fills date and sex
    }
    void ClickRowOf(const std::string& number) {
        ListView* list = C<ListView>("ArchiveList");
        auto id = list->FindItem("x" + number);
        QVERIFY(id.has_value());
        QRect rect = list->visualRect(list->model()->index(list->RowOf(*id), 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    std::vector<std::string> ListColumn(int column) {
        ListView* list = C<ListView>("ArchiveList");
        std::vector<std::string> texts;
        for (int r = 0; r < list->ListCount(); ++r)
            texts.push_back(list->Text(list->ItemAt(r), column));
        return texts;
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const auto& shown : messages.ShownBoxes())
            texts.push_back(shown.text);
        return texts;
    }

    test::TempDir tmp;
    XdgDirs dirs;
    std::unique_ptr<RegistryRoot> registry;
    std::unique_ptr<Config> config;
    MessageBox messages;
    std::unique_ptr<frmVexa> form;
};

std::string Line(const std::string& number, const std::string& surname, const std::string& rc,
                 const std::string& issued = "01.02.2020",
                 const std::string& expires = "01.02.2030") {
    return number + ";" + surname + ";JAN;" + rc + ";BRNO;" + issued + ";" + expires +
           W(";MÚ BRNO");
}

}  // namespace

class frmVexaTest : public QObject {
    Q_OBJECT
  private slots:
    void startUpWithoutArchiveOrRegistry();
    void startUpWithArchiveAndRegistry();
    void windowLayoutAndCaptions();
    void tabSwitchKeepsTypedData();
    void capitalsOnlyWithAppliedPrevod();
    void leavingTheBirthNumber();
    void incompleteRecordIsNotSaved();
    void saveNewEqualAndChanged();
    void leavingTabAskstoSaveChangedArchivedRecord();
    void smazatStartsANewRecord();
    void openAndRemoveWithSortedListAndFreedSlots();
    void settingsTabEnablingRules();
    void defaultniAndPuvodni();
    void expiryLeftEmptyWhenItCannotBeComputed();
    void exitWritesSettingsThenArchive();
    void archiveThatCannotBeWrittenAtExit();
    void archiveThatCannotBeReadAtStart();
};

void frmVexaTest::startUpWithoutArchiveOrRegistry() {
    Run run;
    frmVexa& form = run.Start();
    QCOMPARE(run.C<ListView>("ArchiveList")->ListCount(), 0);
    QCOMPARE(run.C<TabControl>("VexaMainTab")->Tab(), 0);
    QCOMPARE(run.Text("edDatumVydani"), Today());
    QCOMPARE(run.Text("edDatumZneplatneni"), InDays(Today(), 365));
    QCOMPARE(run.Text("edPasVydal"), std::string());
    QCOMPARE(run.Text("edPrijmeni"), std::string());
    // The defaults became part of the record itself.
    QCOMPARE(form.CurUserData.DatumVydani, Today());
    QCOMPARE(form.CurUserData.Platnost, InDays(Today(), 365));
    // The settings tab shows the defaults.
    QCOMPARE(run.Text("edPlatnost"), std::string("365"));
    QCOMPARE(run.Text("comLpt"), std::string("lpt1"));
    QCOMPARE(run.Text("comZpusobTisku"), W("Naváděcích bodů"));
    QCOMPARE(run.C<CheckBox>("chkPrevod")->Value(), 1);
    QVERIFY(run.messages.ShownBoxes().empty());
}

void frmVexaTest::startUpWithArchiveAndRegistry() {
    Run run;
    run.SetRegistryValue("\\HKEY_USERS\\.DEFAULT\\Software\\Lomar\\Vexa", "Vydejce", W("MÚ PRAHA"));
    run.SetRegistryValue("\\HKEY_USERS\\.DEFAULT\\Software\\Lomar\\Vexa", "Platnost", "10");
    run.SetRegistryValue("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa", "Platnost", "30");
    run.SetRegistryValue("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa", "ZpusobTisku", "1");
    // Two records share a document number (a hand-edited file); one birth number lacks "/".
    run.WriteArchive(Line("B2", W("ŠŤASTNÝ"), std::string(kManDate) + "/" + kManRest) + "\r\n" +
                     Line("A1", W("ČERNÝ"), "8506121239") + "\r\n" + Line("B2", W("DVOŘÁK"), "") +
                     "\r\n");
    frmVexa& form = run.Start();
    QCOMPARE(form.Archive().Pocet(), 3);
    QCOMPARE(run.ListColumn(0), (std::vector<std::string>{"A1", "B2", "B2"}));
    QCOMPARE(run.Text("edPasVydal"), W("MÚ PRAHA"));
    QCOMPARE(run.Text("edDatumZneplatneni"), InDays(Today(), 30));
    QCOMPARE(run.Text("comZpusobTisku"), W("Šablony"));

    // Both rows of the shared number open their own record.
    run.ClickTab(1);
    run.C<ListView>("ArchiveList")->SetSortKey(1);
    QCOMPARE(run.ListColumn(1), (std::vector<std::string>{W("ČERNÝ"), W("DVOŘÁK"), W("ŠŤASTNÝ")}));
    ListView* list = run.C<ListView>("ArchiveList");
    list->Select(list->ItemAt(1));
    run.Click("cmdEdit");  // disabled until a click into the list: nothing happens
    QCOMPARE(run.C<TabControl>("VexaMainTab")->Tab(), 1);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(run.C<TabControl>("VexaMainTab")->Tab(), 0);
    QCOMPARE(run.Text("edPrijmeni"), W("DVOŘÁK"));

    // The birth number without "/" is shown whole, nothing cut, and read back unchanged.
    run.ClickTab(1);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualRect(list->model()->index(0, 0)).center());
    QCOMPARE(run.Text("edPrijmeni"), W("ČERNÝ"));
    QCOMPARE(run.Text("edRC_date"), std::string("8506121239"));
    QCOMPARE(run.Text("edRC_rest"), std::string());
    run.ClickTab(1);
    QCOMPARE(form.CurUserData.rc, std::string("8506121239/"));
}

void frmVexaTest::windowLayoutAndCaptions() {
    Run run;
    frmVexa& form = run.Start();
    QCOMPARE(form.windowTitle(), QStringLiteral("Vexa (ver 1.54)"));
    QCOMPARE(form.size(), QSize(form.Px(8055), form.Px(3480)));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.CaptionsFit());
    QCOMPARE(run.C<Label>("lPrijmeni")->text(), QString::fromUtf8("Příjmení:"));
    QCOMPARE(run.C<Button>("cmdUlozit")->text(), QString::fromUtf8("Uložit"));
    QCOMPARE(run.C<CheckBox>("chkPrevod")->text(),
             QString::fromUtf8("Převádět malá písmena na velká"));
    QTabBar* bar = run.C<TabControl>("VexaMainTab")->Bar();
    QCOMPARE(bar->tabText(1), QString::fromUtf8("Archív"));
    QVERIFY(!run.C<Button>("cmdTisk")->isEnabled());
    QVERIFY(!run.C<Button>("cmdDeti")->isEnabled());
    QCOMPARE(run.C<Button>("cmdTisk")->geometry(),
             QRect(form.Px(5520), form.Px(2760), form.Px(975), form.Px(255)));
    // Tab goes through the holder fields in the window's order.
    QStringList order;
    QWidget* w = run.C<QWidget>("edPrijmeni");
    for (int i = 0; i < 13; ++i) {
        order << w->objectName();
        w = w->nextInFocusChain();
        while (w->objectName().isEmpty() || w->objectName().startsWith(QStringLiteral("qt_")))
            w = w->nextInFocusChain();
    }
    QCOMPARE(order,
             (QStringList{"edPrijmeni", "edJmeno", "edRC_date", "edRC_rest", "edMistoNarozeni",
                          "edCisloPasu", "edDN_Den", "edDN_Mesic", "edDN_Rok", "comSex",
                          "edDatumVydani", "edDatumZneplatneni", "edPasVydal"}));
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
    QCOMPARE(run.Text("edPrijmeni"), std::string("NOVAK"));
    QCOMPARE(run.Text("edCisloPasu"), std::string("123"));
    // An emptied expiry date is computed again on entering the tab.
    QCOMPARE(run.Text("edDatumZneplatneni"), InDays(Today(), 365));
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

void frmVexaTest::capitalsOnlyWithAppliedPrevod() {
    Run run;
    run.Start();
    run.Type("edPrijmeni", W("novák"));
    run.Type("edCisloPasu", "ab12");
    run.Type("edJmeno", W("žofie"));
    QCOMPARE(run.Text("edPrijmeni"), W("NOVÁK"));
    run.Type("edMistoNarozeni", W("český krumlov"));
    QCOMPARE(run.Text("edJmeno"), W("ŽOFIE"));
    QCOMPARE(run.Text("edCisloPasu"), std::string("ab12"));
    run.Type("edPasVydal", W("úřad"));
    run.Box("edPrijmeni")->setFocus();
    QCOMPARE(run.Text("edMistoNarozeni"), W("ČESKÝ KRUMLOV"));
    QCOMPARE(run.Text("edPasVydal"), W("ÚŘAD"));

    // Clearing the check box does nothing until it is applied.
    run.ClickTab(2);
    run.C<CheckBox>("chkPrevod")->SetValue(0);
    run.Type("edVydejce", W("mú brno"));
    run.Box("edPlatnost")->setFocus();
    QCOMPARE(run.Text("edVydejce"), W("MÚ BRNO"));
    run.Click("cmdPouzit");
    QCOMPARE(run.config->Settings[cfg::Prevod], std::string("0"));
    run.Type("edVydejce", W("mú brno"));
    run.Box("edPlatnost")->setFocus();
    QCOMPARE(run.Text("edVydejce"), W("mú brno"));
    run.ClickTab(0);
    run.Type("edPrijmeni", W("svoboda"));
    run.Box("edJmeno")->setFocus();
    QCOMPARE(run.Text("edPrijmeni"), W("svoboda"));
}

void frmVexaTest::leavingTheBirthNumber() {
    Run run;
    run.Start();
    run.Type("edRC_date", kManDate);
    run.Type("edRC_rest", kManRest);
    run.Box("edMistoNarozeni")->setFocus();
    QCOMPARE(run.Text("edDN_Den"), std::string("12"));
    QCOMPARE(run.Text("edDN_Mesic"), std::string("06"));
    QCOMPARE(run.Text("edDN_Rok"), std::string("1985"));
    QCOMPARE(run.Text("comSex"), std::string("M"));

    run.Type("edRC_date", kWomanDate);
    run.Type("edRC_rest", kWomanRest);
    run.Box("edMistoNarozeni")->setFocus();
    QCOMPARE(run.Text("comSex"), std::string("F"));
    QCOMPARE(run.Text("edDN_Rok"), std::string("1985"));

    // A wrong check digit sends the clerk back with the date part selected; nothing cleared.
    run.Type("edRC_rest", "1230");
    run.Box("edMistoNarozeni")->setFocus();
    TextBox* date = run.Box("edRC_date");
    QVERIFY(date->hasFocus());
    QCOMPARE(date->SelStart(), 0);
    QCOMPARE(date->SelLength(), 6);
    QCOMPARE(run.Text("edDN_Den"), std::string("12"));
    QCOMPARE(run.Text("comSex"), std::string("F"));

    // A click on Uložit that leaves an invalid birth number does not save.
    run.Type("edRC_rest", "1230");
    run.Click("cmdUlozit");
    QVERIFY(run.Box("edRC_date")->hasFocus());
    QVERIFY(run.messages.ShownBoxes().empty());
}

void frmVexaTest::incompleteRecordIsNotSaved() {
    Run run;
    frmVexa& form = run.Start();
    run.FillRecord("P1", "NOVAK");
    run.Type("comSex", "");
    run.Click("cmdUlozit");
    QCOMPARE(run.Texts(), (std::vector<std::string>{W("Záznam nebyl uložen!")}));
    QCOMPARE(run.messages.ShownBoxes()[0].title, std::string("Warning"));
    QVERIFY(run.C<ComboBox>("comSex")->hasFocus());
    QCOMPARE(form.Archive().Pocet(), 0);
    QCOMPARE(form.CurUserData.CisloPasu, std::string());  // nothing copied

    run.messages.ClearShown();
    run.Type("comSex", "M");
    run.Type("edPrijmeni", "");
    run.Type("edPasVydal", "");
    run.Click("cmdUlozit");
    QVERIFY(run.Box("edPrijmeni")->hasFocus());
    QCOMPARE(run.Texts(), (std::vector<std::string>{W("Záznam nebyl uložen!")}));
}

void frmVexaTest::saveNewEqualAndChanged() {
    Run run;
    frmVexa& form = run.Start();
    run.FillRecord("P1", "NOVAK");
    run.Click("cmdUlozit");
    QCOMPARE(run.Texts(), (std::vector<std::string>{W("Záznam byl úspěšně uložen")}));
    QCOMPARE(run.messages.ShownBoxes()[0].title, std::string("Info"));
    QCOMPARE(form.Archive().Pocet(), 1);
    QCOMPARE(run.ListColumn(1), (std::vector<std::string>{"NOVAK"}));
    QCOMPARE(run.ListColumn(3), (std::vector<std::string>{std::string(kManDate) + "/" + kManRest}));

    // Saved again unchanged: nothing happens.
    run.messages.ClearShown();
    run.Click("cmdUlozit");
    QVERIFY(run.messages.ShownBoxes().empty());
    QCOMPARE(form.Archive().Pocet(), 1);

    // Changed, No: archive and list stay.
    run.Type("edPrijmeni", "NOVY");
    run.messages.AnswerNext(MessageBox::Answer::No);
    run.Click("cmdUlozit");
    QCOMPARE(
        run.Texts(),
        (std::vector<std::string>{W("Pas s číslem P1 již existuje. Chcete přesto změny uložit?")}));
    QCOMPARE(run.messages.ShownBoxes()[0].title, W("Varování"));
    QVERIFY(run.messages.ShownBoxes()[0].buttons == MessageBox::Buttons::YesNo);
    QCOMPARE(form.Archive().GetItem(0)->Prijmeni, std::string("NOVAK"));
    QCOMPARE(run.ListColumn(1), (std::vector<std::string>{"NOVAK"}));

    // Changed, Yes: archive and the row are updated in place.
    run.messages.ClearShown();
    run.messages.AnswerNext(MessageBox::Answer::Yes);
    run.Click("cmdUlozit");
    QCOMPARE(run.Texts().back(), W("Záznam byl uložen"));
    QCOMPARE(form.Archive().GetItem(0)->Prijmeni, std::string("NOVY"));
    QCOMPARE(run.ListColumn(1), (std::vector<std::string>{"NOVY"}));

    // A new document number adds a second record; the first stays.
    run.Type("edCisloPasu", "P2");
    run.Click("cmdUlozit");
    QCOMPARE(form.Archive().Pocet(), 2);
    QCOMPARE(run.ListColumn(0), (std::vector<std::string>{"P1", "P2"}));
    QCOMPARE(run.messages.Unanswered(), 0);
}

void frmVexaTest::leavingTabAskstoSaveChangedArchivedRecord() {
    Run run;
    run.WriteArchive(Line("P1", "NOVAK", std::string(kManDate) + "/" + kManRest) + "\r\n");
    frmVexa& form = run.Start();
    run.ClickTab(1);
    run.ClickRowOf("P1");
    run.Click("cmdEdit");
    QCOMPARE(run.Text("edPrijmeni"), std::string("NOVAK"));
    QVERIFY(run.Box("edPrijmeni")->hasFocus());
    QVERIFY(run.messages.ShownBoxes().empty());  // opening asks nothing

    run.Type("edJmeno", "PETR");
    run.messages.AnswerNext(MessageBox::Answer::Yes);
    run.ClickTab(1);
    QCOMPARE(run.Texts(), (std::vector<std::string>{W("Záznam byl změněn. Chcete jej uložit?"),
                                                    W("Záznam byl uložen")}));
    QCOMPARE(run.messages.ShownBoxes()[0].title, std::string("Vexa"));
    QCOMPARE(form.Archive().GetItem(0)->Jmeno, std::string("PETR"));
    QCOMPARE(run.ListColumn(2), (std::vector<std::string>{"PETR"}));

    // An incomplete record asks nothing; the focus goes to the first empty field.
    run.messages.ClearShown();
    run.ClickTab(0);
    run.Type("edMistoNarozeni", "");
    run.ClickTab(1);
    QVERIFY(run.messages.ShownBoxes().empty());
    QCOMPARE(form.CurUserData.MistoNarozeni, std::string());
    QCOMPARE(form.Archive().GetItem(0)->MistoNarozeni, std::string("BRNO"));
}

void frmVexaTest::smazatStartsANewRecord() {
    Run run;
    run.SetRegistryValue("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa", "Vydejce", W("MÚ BRNO"));
    run.WriteArchive(Line("P1", "NOVAK", std::string(kManDate) + "/" + kManRest) + "\r\n");
    frmVexa& form = run.Start();
    run.ClickTab(1);
    run.ClickRowOf("P1");
    run.Click("cmdEdit");
    run.Type("edJmeno", "PETR");
    form.CurUserData.DetiAdd("A B", "01.01.2010", "M");
    run.Click("cmdSmazat");
    QVERIFY(run.messages.ShownBoxes().empty());
    for (const char* name :
         {"edPrijmeni", "edJmeno", "edRC_date", "edRC_rest", "edDN_Den", "edDN_Mesic", "edDN_Rok",
          "comSex", "edMistoNarozeni", "edCisloPasu"}) {
        QCOMPARE(run.Text(name), std::string());
    }
    QCOMPARE(run.Text("edDatumVydani"), Today());
    QCOMPARE(run.Text("edDatumZneplatneni"), InDays(Today(), 365));
    QCOMPARE(run.Text("edPasVydal"), W("MÚ BRNO"));
    QCOMPARE(form.CurUserData.PocetDeti(), 0);
    QVERIFY(run.Box("edPrijmeni")->hasFocus());
    QCOMPARE(form.Archive().GetItem(0)->Jmeno, std::string("JAN"));
}

void frmVexaTest::openAndRemoveWithSortedListAndFreedSlots() {
    Run run;
    run.WriteArchive(Line("C3", "ADAM", "") + "\r\n" + Line("A1", "CIHLA", "") + "\r\n" +
                     Line("B2", "BENES", "") + "\r\n");
    frmVexa& form = run.Start();
    run.ClickTab(1);
    QVERIFY(!run.C<Button>("cmdEdit")->isEnabled());
    QHeaderView* header = run.C<ListView>("ArchiveList")->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionPosition(1) + 5, header->height() / 2));
    QCOMPARE(run.ListColumn(1), (std::vector<std::string>{"ADAM", "BENES", "CIHLA"}));

    // Remove the middle record (slot 2).
    run.ClickRowOf("B2");
    QVERIFY(run.C<Button>("cmdOdebrat")->isEnabled());
    run.Click("cmdOdebrat");
    QCOMPARE(run.ListColumn(1), (std::vector<std::string>{"ADAM", "CIHLA"}));
    QVERIFY(form.Archive().GetItem(2) == nullptr);
    QCOMPARE(form.Archive().Pocet(), 3);

    // A new record takes the next slot, not the freed one.
    run.ClickTab(0);
    run.Click("cmdSmazat");
    run.FillRecord("D4", "BARTA");
    run.Click("cmdUlozit");
    ListView* list = run.C<ListView>("ArchiveList");
    QCOMPARE(run.ListColumn(1), (std::vector<std::string>{"ADAM", "BARTA", "CIHLA"}));
    QCOMPARE(list->Tag(*list->FindItem("xD4")), 3LL);

    // Each remaining row still opens its own record.
    for (const char* number : {"A1", "C3", "D4"}) {
        run.ClickTab(1);
        QVERIFY(!run.C<Button>("cmdEdit")->isEnabled());
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

void frmVexaTest::settingsTabEnablingRules() {
    Run run;
    run.Start();
    run.ClickTab(2);
    Button* pouzit = run.C<Button>("cmdPouzit");
    Button* puvodni = run.C<Button>("cmdPuvodni");
    QVERIFY(!pouzit->isEnabled() && !puvodni->isEnabled());

    // Leaving comFont unchanged, or comLpt with a name that is no item, enables nothing.
    run.Type("comFont", "10 cpi");
    run.Box("edVydejce")->setFocus();
    run.Type("comLpt", "lpt9");
    run.Box("edVydejce")->setFocus();
    QVERIFY(!pouzit->isEnabled());
    run.Type("comLpt", "lpt2");
    run.Box("edVydejce")->setFocus();
    QVERIFY(pouzit->isEnabled() && puvodni->isEnabled());

    // Původní reloads and disables only Použít.
    run.Click("cmdPuvodni");
    QCOMPARE(run.Text("comLpt"), std::string("lpt1"));
    QVERIFY(!pouzit->isEnabled() && puvodni->isEnabled());

    // A name that is no item is still stored by a Použít enabled by another edit.
    run.Type("comLpt", "lpt9");
    run.Type("edPlatnost", "30");
    run.C<CheckBox>("chkSmer")->SetValue(1);
    QVERIFY(pouzit->isEnabled());
    run.Click("cmdPouzit");
    QCOMPARE(run.config->Settings[cfg::Port], std::string("lpt9"));
    QCOMPARE(run.config->Settings[cfg::Platnost], std::string("30"));
    QCOMPARE(run.config->Settings[cfg::SmerTisku], std::string("1"));
    QVERIFY(!pouzit->isEnabled() && !puvodni->isEnabled());

    // Choosing the method already in force enables nothing; the other one enables both.
    ComboBox* method = run.C<ComboBox>("comZpusobTisku");
    method->setFocus();
    method->setCurrentIndex(0);
    QTest::keyClick(method, Qt::Key_Down);
    QCOMPARE(run.Text("comZpusobTisku"), W("Šablony"));
    QVERIFY(pouzit->isEnabled());
    run.Click("cmdPouzit");
    QCOMPARE(run.config->Settings[cfg::ZpusobTisku], std::string("1"));
    method->setFocus();
    method->setCurrentIndex(0);
    QTest::keyClick(method, Qt::Key_Down);
    QVERIFY(!pouzit->isEnabled());
    QTest::keyClick(method, Qt::Key_Up);
    QVERIFY(pouzit->isEnabled());

    // Edits not applied are gone after another tab.
    run.Type("edPlatnost", "99");
    run.ClickTab(0);
    QCOMPARE(run.Text("edDatumZneplatneni"), InDays(Today(), 365));  // shown before the change
    run.ClickTab(2);
    QCOMPARE(run.Text("edPlatnost"), std::string("30"));
    QVERIFY(!pouzit->isEnabled());
    // The applied period is used for the next record.
    run.ClickTab(0);
    run.Click("cmdSmazat");
    QCOMPARE(run.Text("edDatumZneplatneni"), InDays(Today(), 30));
}

void frmVexaTest::defaultniAndPuvodni() {
    Run run;
    run.SetRegistryValue("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa", "HorzShift", "12");
    run.SetRegistryValue("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa", "Port", "com2");
    run.Start();
    run.ClickTab(2);
    QCOMPARE(run.Text("comLpt"), std::string("com2"));
    run.Type("edVydejce", "X");
    run.Click("cmdDefault");
    QCOMPARE(run.config->Settings[cfg::HorzShift], std::string("0"));
    QCOMPARE(run.config->Settings[cfg::Port], std::string("lpt1"));
    QCOMPARE(run.Text("comLpt"), std::string("lpt1"));
    QCOMPARE(run.Text("edVydejce"), std::string());
    QVERIFY(!run.C<Button>("cmdPouzit")->isEnabled());
    QVERIFY(!run.C<Button>("cmdPuvodni")->isEnabled());
    run.Close();
    QCOMPARE(run.SavedSetting("Port"), std::optional<std::string>("lpt1"));
    QCOMPARE(run.SavedSetting("HorzShift"), std::optional<std::string>("0"));
}

void frmVexaTest::expiryLeftEmptyWhenItCannotBeComputed() {
    Run run;
    run.SetRegistryValue("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa", "Platnost", "rok");
    run.WriteArchive(Line("P1", "NOVAK", "", "31.02.2020", "") + "\r\n");
    frmVexa& form = run.Start();
    QCOMPARE(run.Text("edDatumVydani"), Today());
    QCOMPARE(run.Text("edDatumZneplatneni"), std::string());

    // A readable period, but an issue date that is no date.
    run.ClickTab(2);
    run.Type("edPlatnost", "365");
    run.Click("cmdPouzit");
    run.ClickTab(1);
    run.ClickRowOf("P1");
    run.Click("cmdEdit");
    QCOMPARE(run.Text("edDatumVydani"), std::string("31.02.2020"));
    QCOMPARE(run.Text("edDatumZneplatneni"), std::string());
    QCOMPARE(form.CurUserData.Platnost, std::string());
    // The clerk types it.
    run.Type("edDatumZneplatneni", "01.03.2030");
    run.ClickTab(1);
    QCOMPARE(form.CurUserData.Platnost, std::string("01.03.2030"));
}

void frmVexaTest::exitWritesSettingsThenArchive() {
    Run run;
    run.WriteArchive(Line("P1", "NOVAK", std::string(kManDate) + "/" + kManRest) + "\r\n" +
                     Line("P2", W("ŽÁK"), "") + "\r\n");
    frmVexa& form = run.Start();
    run.ClickTab(1);
    run.ClickRowOf("P1");
    run.Click("cmdEdit");
    run.Type("edJmeno", "PETR");
    form.CurUserData.DetiAdd("X", "01.01.2010", "F");  // not on screen yet: no change counted
    run.messages.AnswerNext(MessageBox::Answer::No);
    run.Close();
    QCOMPARE(run.Texts(), (std::vector<std::string>{W("Záznam byl změněn. Chcete jej uložit?")}));
    // Every setting was written under HKEY_CURRENT_USER.
    QCOMPARE(run.SavedSetting("NVHorzTabNS"), std::optional<std::string>("-51"));
    QCOMPARE(run.SavedSetting("Platnost"), std::optional<std::string>("365"));
    // The archive without the refused change, byte for byte.
    QCOMPARE(test::ReadFile(run.ArchivePath()),
             Line("P1", "NOVAK", std::string(kManDate) + "/" + kManRest) + "\r\n" +
                 Line("P2", W("ŽÁK"), "") + "\r\n");

    // An exit with no archive file writes an empty one.
    Run empty;
    empty.Start();
    empty.Close();
    QVERIFY(std::filesystem::exists(empty.ArchivePath()));
    QCOMPARE(test::ReadFile(empty.ArchivePath()), std::string());
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
    run.messages.AnswerNext(MessageBox::Answer::Yes);
    run.messages.AnswerNext(MessageBox::Answer::No);
    run.Close();
    const auto& shown = run.messages.ShownBoxes();
    QCOMPARE(shown.size(), std::size_t(2));  // tried, asked; tried again, asked; then ended
    QCOMPARE(shown[0].title, W("Varování"));
    QVERIFY(shown[0].icon == MessageBox::Icon::Warning);
    QVERIFY(shown[0].buttons == MessageBox::Buttons::YesNo);
    QVERIFY(shown[0].text.find(run.ArchivePath()) != std::string::npos);
    QVERIFY(shown[0].text.find("Not a directory") != std::string::npos);
    QCOMPARE(run.messages.Unanswered(), 0);
    // The settings were saved before.
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
    QCOMPARE(run.messages.ShownBoxes()[0].title, std::string("Warning"));
    QVERIFY(run.messages.ShownBoxes()[0].text.find(run.ArchivePath()) != std::string::npos);
    QCOMPARE(form.Archive().Pocet(), 0);
    QCOMPARE(run.C<ListView>("ArchiveList")->ListCount(), 0);

    run.FillRecord("P1", "NOVAK");
    run.Click("cmdUlozit");
    run.messages.ClearShown();
    run.Close();
    // Told that nothing was written; the file was not touched.
    QCOMPARE(run.messages.ShownBoxes().size(), std::size_t(1));
    QCOMPARE(run.messages.ShownBoxes()[0].title, std::string("Warning"));
    QVERIFY(std::filesystem::is_directory(run.ArchivePath()));
    QCOMPARE(test::ReadFile(run.ArchivePath() + "/keep"), std::string("x"));
}

QTEST_MAIN(frmVexaTest)
#include "frmVexaTest.moc"
