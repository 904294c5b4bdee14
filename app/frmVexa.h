#pragma once

#include <future>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>

#include "app/ArchiveLock.h"
#include "platform/TextSearch.h"
#include "platform/port/PreviewPortOpener.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PortWaitCursor.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/TextBox.h"
#include "printing/Notifier.h"
#include "records/ArchiveCls.h"
#include "records/ClientsDataCls.h"
#include "records/DatabaseStore.h"
#include "records/SharedArchive.h"
#include "settings/Config.h"

class QCloseEvent;
class QShowEvent;
class QSocketNotifier;

namespace vexa {

class ArchiveRows;
class frmSelSabl;
class frmTisk;
class frmDeti;

// The main window: the holder-data tab, the archive list and the settings tab. It owns the
// record being edited (CurUserData) and the archive; the settings belong to the Config it is
// given. Creating the window runs the start-up; closing it saves the settings and the archive.
class frmVexa : public Form, public Notifier {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Vexa (ver 1.54)";

    // `archiveDir` is where Archive.db lives when the installation names no directory;
    // `devices` opens the printer ports (the preview port "náhled" is the window's own).
    frmVexa(Config& config, std::string archiveDir, MessageBox& messages, PortOpener& devices,
            QWidget* parent = nullptr);
    ~frmVexa() override;

    // The record shown on the holder-data tab; the dialogs read and change it.
    ClientsDataCls CurUserData;

    // Holder-data tab.
    void SetDate(const std::string& rcDate, const std::string& rcRest);
    // True when all 13 fields are filled and the birth number passes its check; the fields have
    // then been copied into CurUserData. Otherwise the caret goes to the first empty field, and
    // `incomplete` (when given) is shown as a warning; or the refused birth number's date part is
    // selected, with a warning naming the field.
    bool ValidateUserData(std::string_view incomplete = {});
    void GetUserData();
    void ShowUserData();
    // Archive tab.
    void ListInit();
    void ColumnsInit();
    bool LoadList();
    void AddToList(int index);
    void ChangeList();
    // Settings tab.
    void ShowSettings();

    // The exit sequence; runs once, when the window closes.
    void FormUnload();
    // True when another running copy of the program holds the archive: this copy shows who,
    // writes nothing and is to end at once.
    bool Refused() const { return m_refused; }
    // The session is ending (a signal, the desktop's end of session): nobody is there to
    // answer, so the window closes through its exit path without asking; a change on screen
    // is not saved, everything archived already is.
    void EndSession();

    void Warn(const std::string& message) override;

    ArchiveCls& Archive() { return *m_archive; }
    // False while the records of a database are still on their way.
    bool RecordsIn() const { return !m_databaseLoad.valid(); }
    Config& Settings() { return m_config; }
    MessageBox& Messages() { return m_messages; }
    // Where the print jobs send their bytes: the printer ports, and the preview.
    PortOpener& Ports() { return m_ports; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // The controls of the tabs are built from tables: names, captions (UTF-8) and places.
    struct LabelDef {
        const char* name;
        const char* caption;
        Spot at;
    };
    struct TextBoxDef {
        TextBox* frmVexa::*box;
        const char* name;
        Spot at;
        int maxLength = 0;  // 0: no limit
    };
    struct ButtonDef {
        Button* frmVexa::*button;
        const char* name;
        const char* caption;
        Spot at;
    };
    void AddLabels(QWidget* page, std::initializer_list<LabelDef> labels);
    void AddTextBoxes(QWidget* page, std::initializer_list<TextBoxDef> boxes);
    void AddButtons(QWidget* page, std::initializer_list<ButtonDef> buttons);

    void FormLoad();
    void BuildHolderTab(QWidget* page);
    void BuildArchiveTab(QWidget* page);
    void BuildSettingsTab(QWidget* page);
    void SetTabOrder();

    void OnTabClick(int previousTab);
    void Capitalize(TextBox* box);
    void OnRcRestLostFocus();
    void ClearUserData();
    void AskSaveChanges();
    // Writes the shown record over its archived copy, refreshes its row, tells the clerk.
    void UpdateArchived();
    // The record went into the archive in memory only: this run cannot write the file.
    void WarnKeptInMemory();
    void OnUlozit();
    void OnSmazat();
    void OnTisk();
    // Opens the children dialog, afresh each time it was closed.
    void OnDeti();
    void OnOpen();
    void OnRemove();
    // Vrátit: the last record removed in this run back into its slot and row.
    void OnRestore();
    void OnColumnClick(int columnIndex);
    // The archive list shows the rows the search box finds.
    void OnSearch();
    // "12 z 100 000": rows shown of all, while a search is typed.
    void ShowCount();
    // A row may be opened or removed: after a click into the list, or the keys that lead there.
    void EnableRowButtons();
    void EnableSettingButtons();
    // Whether the item at `index` (text `text`) of a printing choice differs from the setting.
    bool Differs(cfg::Setting setting, int index, const std::string& text) const;
    void OnComboLeft(ComboBox* combo, cfg::Setting setting);
    void OnPouzit();
    void OnPuvodni();
    void OnDefault();

    bool PrevodOn() const;
    void SaveArchiveAtExit();
    // Tells the clerk once about settings files the program cannot use as they are.
    void WarnAboutSettingsFiles();
    // Takes the lock beside the archive; tells the clerk when another copy holds it (this copy
    // then ends) or when no lock can be made (nothing is saved in this run).
    void TakeArchiveLock();
    // "Archiv se nepodařilo uložit do souboru … (reason)".
    std::string ArchiveNotSaved(const std::string& reason) const;
    // Whether the archive file may be written in this run (its place is known, it was read,
    // this copy holds its lock).
    bool ArchiveWritable() const;
    // Writes the archive after a change; false (and the clerk told why) when it could not.
    bool StoreArchive();
    // The archive in a database (frmVexaDatabase.cpp), when the installation names one.
    bool UsesDatabase() const { return m_databaseMode; }
    // Start-up: when the installation names a database, its records are read on a thread of
    // their own while the window is built and shown, and the clerk may begin typing; they are
    // taken in when the thread is done, or at once by the first action that needs them. Without
    // the server the archive stays empty and nothing is saved in this run. TakeInDatabase is
    // false while another action waits for the load: the database is not to be used then.
    void StartDatabaseLoad();
    void PostTakeIn();
    bool TakeInDatabase();
    // The event loop watches the connection's socket for other copies' changes.
    void WatchDatabase(int socket);
    void OnDatabaseReadable();
    // Brings what reached the records into the list.
    void ShowChanges(const SharedArchive::Applied& changes);
    // The holder record on screen saved into the database; the questions of a record that
    // exists, was changed or removed meanwhile.
    void SaveShared();
    // "Pas s číslem … již existuje. Chcete přesto změny uložit?"
    bool AskExisting(std::string_view number);
    // Writes the record on screen over a slot's record, `expected` the version it started
    // from; asks again at each conflict. True when it was committed.
    bool WriteShared(int slot, int expected);
    bool RemoveShared(int slot);
    bool RestoreShared(int slot);
    // The archived record the screen's record continues: the one opened or saved last, while
    // its number is on screen, else the one with that number.
    struct SharedTarget {
        int slot = -1;
        int expected = 0;
        std::string before;  // the record's line then
    };
    SharedTarget TargetOnScreen() const;
    void NoteOpened(int slot);
    // Tells the clerk a write did not reach the database (`what`: what was not done).
    void WarnNotWritten(const char* what, const std::string& error);
    // Writes the settings after a change; a failure is told.
    void StoreSettings();
    // Opens a preview window of a job sent to the port "náhled".
    void ShowPreview(std::string bytes);

    Config& m_config;
    std::string m_archiveDir;
    MessageBox& m_messages;
    PreviewPortOpener m_ports;
    // A busy cursor while a print queue prints.
    PortWaitCursor m_portWait;
    // Windows of the program that belong to no other window; closed with the main window.
    std::vector<QPointer<QWidget>> m_previews;
    // The print dialogs: one of each at most, created when first needed, gone once closed.
    QPointer<frmTisk> m_frmTisk;
    QPointer<frmSelSabl> m_frmSelSabl;
    QPointer<frmDeti> m_deti;
    std::unique_ptr<ArchiveCls> m_archive;
    // The archive as the list's rows; the slots removed in this run, the last at the end.
    std::unique_ptr<ArchiveRows> m_rows;
    std::vector<int> m_removed;
    // What the search box finds now; nothing while it is empty.
    std::optional<TextSearch> m_search;
    std::vector<TextControl*> UserFields;
    std::unique_ptr<ArchiveLock> m_lock;
    // The archive in a database: the store, the records' ids and versions, the socket's watch;
    // away when no connection could be made at start.
    bool m_databaseMode = false;
    std::unique_ptr<DatabaseStore> m_database;
    std::unique_ptr<SharedArchive> m_shared;
    // The start's load: the thread's alone until it is taken in (the list shows an empty
    // archive meanwhile). The thread ends before these go.
    struct {
        std::unique_ptr<DatabaseStore> store;
        std::unique_ptr<ArchiveCls> records;
        std::unique_ptr<SharedArchive> shared;
    } m_loading;
    std::future<DatabaseStore::Status> m_databaseLoad;
    bool m_awaitingDatabase = false;  // an action waits for the load to end
    bool m_built = false;             // the constructor is over
    bool m_takeInPending = false;     // the thread was done before it was
    QSocketNotifier* m_databaseWatch = nullptr;
    bool m_databaseAway = false;
    // The archived record the holder tab shows as it was opened or last saved.
    struct Opened {
        int slot = -1;
        int version = 0;
        std::string number;
        std::string line;
    } m_opened;
    bool m_refused = false;
    bool m_unloaded = false;
    bool m_shown = false;
    std::vector<QWidget*> m_tabOrder;

    TabControl* VexaMainTab = nullptr;

    // Holder-data tab.
    TextBox* edPrijmeni = nullptr;
    TextBox* edJmeno = nullptr;
    TextBox* edRC_date = nullptr;
    TextBox* edRC_rest = nullptr;
    TextBox* edMistoNarozeni = nullptr;
    TextBox* edCisloPasu = nullptr;
    TextBox* edDN_Den = nullptr;
    TextBox* edDN_Mesic = nullptr;
    TextBox* edDN_Rok = nullptr;
    ComboBox* comSex = nullptr;
    TextBox* edDatumVydani = nullptr;
    TextBox* edDatumZneplatneni = nullptr;
    TextBox* edPasVydal = nullptr;
    Button* cmdUlozit = nullptr;
    Button* cmdTisk = nullptr;
    Button* cmdSmazat = nullptr;
    Button* cmdDeti = nullptr;

    // Archive tab.
    ListView* ArchiveList = nullptr;
    TextBox* edHledat = nullptr;
    Label* lPocet = nullptr;
    Button* cmdVratit = nullptr;
    Button* cmdEdit = nullptr;
    Button* cmdOdebrat = nullptr;

    // Settings tab.
    TextBox* edVydejce = nullptr;
    TextBox* edPlatnost = nullptr;
    CheckBox* chkPrevod = nullptr;
    CheckBox* chkSmer = nullptr;
    ComboBox* comZpusobTisku = nullptr;
    ComboBox* comLpt = nullptr;
    ComboBox* comFont = nullptr;
    Button* cmdPouzit = nullptr;
    Button* cmdPuvodni = nullptr;
    Button* cmdDefault = nullptr;
};

}  // namespace vexa
