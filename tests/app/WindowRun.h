#pragma once

// One run of the program for the window tests: its directories, registry, settings, message
// boxes and the real window, driven as the clerk drives it.
#include <QHeaderView>
#include <QtTest>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frmVexa.h"
#include "platform/Dates.h"
#include "platform/SystemError.h"
#include "platform/port/DevicePortOpener.h"
#include "platform/port/MemoryPortOpener.h"
#include "platform/port/QueuePortOpener.h"
#include "platform/ui/UiText.h"
#include "support/GuiSupport.h"
#include "support/TestSupport.h"

namespace vexa::test {

using Strings = std::vector<std::string>;

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
    // The directories under `root`, or under a fresh temporary directory.
    explicit Run(const std::string& root = std::string()) {
        const std::string base = root.empty() ? tmp.Path() : root;
        dirs.userConfig = base + "/config";
        dirs.systemConfig = base + "/system";
        dirs.userData = base + "/data";
        messages.AnswerByItself();
        // No print service unless a test starts its own: the machine's is never asked.
        ::setenv("CUPS_SERVER", (tmp / "no-cups.sock").c_str(), 0);
    }

    std::string ArchivePath() const { return dirs.userData + "/Lomar/Vexa/Archive.db"; }
    void WriteArchive(const std::string& cp1250) {
        std::filesystem::create_directories(dirs.userData + "/Lomar/Vexa");
        test::WriteFile(ArchivePath(), cp1250);
    }
    // Sets a value under the current user's Software\Lomar\Vexa, as an earlier run would have.
    void SetValue(const std::string& name, const std::string& value) {
        RegistryRoot registry(dirs);
        auto key = registry.OpenKey("\\HKEY_CURRENT_USER");
        for (const char* sub : {"Software", "Lomar", "Vexa"})
            key = key ? Config::OpenOrCreateKey(*key, sub) : key;
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

    frmVexa& Start(bool waitForRecords = true) {
        registry = std::make_unique<RegistryRoot>(dirs);
        config = std::make_unique<Config>(*registry);
        if (devices)
            queues = std::make_unique<QueuePortOpener>(*devices);
        PortOpener& opener = devices ? static_cast<PortOpener&>(*queues) : ports;
        form = std::make_unique<frmVexa>(*config, dirs.userData + "/Lomar/Vexa", messages, opener);
        test::ShowActive(form.get());
        // A database's records arrive after the window shows, before a clerk could look.
        if (waitForRecords && !QTest::qWaitFor([this] { return form->RecordsIn(); }, 10000))
            qWarning("the records of the database did not come in");
        return *form;
    }

    template <typename T = QWidget>
    T* C(const char* name) {
        return test::Child<T>(form.get(), name);
    }
    ListView* List() { return C<ListView>("ArchiveList"); }
    int Tab() { return C<TabControl>("VexaMainTab")->Tab(); }
    std::string Text(const char* name) { return dynamic_cast<TextControl*>(C(name))->Text(); }
    Strings Texts(std::initializer_list<const char*> names) {
        Strings texts;
        for (const char* name : names)
            texts.push_back(Text(name));
        return texts;
    }
    std::string Setting(cfg::Setting setting) { return config->Text(setting); }
    Strings Shown() { return ShownBoxes(messages); }

    // The clerk clicks into a field, selects what it holds and types over it.
    void Type(const char* name, const std::string& cp1250) {
        // A click into another window makes it the active one, as the window system does.
        if (QApplication::activeWindow() != form.get()) {
            form->activateWindow();
            QVERIFY(Active());
        }
        test::TypeOver(C(name), UiText::ToQt(cp1250));
    }
    // The clerk clicks a button, or into a field.
    void Click(const char* name) { QTest::mouseClick(C(name), Qt::LeftButton); }
    // A double click as the window system delivers it: press, release, press, release.
    void DoubleClick(const char* name) {
        QWidget* w = C(name);
        QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {},
                           w->mapTo(form.get(), w->rect().center()));
    }
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
        Click("edDatumVydani");  // leaving the birth number fills date and sex
    }
    QPoint RowCentre(int row) {
        return List()->visualRect(List()->model()->index(row, 0)).center();
    }
    void ClickRowOf(const std::string& number) {
        auto id = List()->FindItem("x" + number);
        QVERIFY(id.has_value());
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(List()->RowOf(*id)));
    }
    // Opens an archived record from the list with Editovat.
    void Open(const std::string& number) {
        ClickTab(1);
        ClickRowOf(number);
        Click("cmdEdit");
    }
    // The dialog of type D that is open, null when none is; the clerk turns to it, so it has
    // the keyboard.
    template <typename D>
    D* Dialog() {
        std::vector<D*> open;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<D*>(w); d != nullptr && d->isVisible())
                open.push_back(d);
        }
        if (open.size() > 1)
            qFatal("%d dialogs of a kind open", int(open.size()));
        if (open.empty())
            return nullptr;
        open[0]->activateWindow();
        WaitActive(open[0]);
        return open[0];
    }
    // Waits until the keys go to `window` (the main window by default).
    bool Active(QWidget* window = nullptr) { return WaitActive(window ? window : form.get()); }
    Strings ListColumn(int column) {
        Strings texts;
        for (int row = 0; row < List()->ListCount(); ++row)
            texts.push_back(List()->Text(List()->ItemAt(row), column));
        return texts;
    }

    test::TempDir tmp;
    XdgDirs dirs;
    std::unique_ptr<RegistryRoot> registry;
    std::unique_ptr<Config> config;
    MessageBox messages;
    MemoryPortOpener ports;
    std::unique_ptr<DevicePortOpener> devices;  // the real ports instead, when set
    std::unique_ptr<QueuePortOpener> queues;    // the print queues, and those ports
    std::unique_ptr<frmVexa> form;
};

}  // namespace vexa::test
