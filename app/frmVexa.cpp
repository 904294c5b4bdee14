#include "app/frmVexa.h"

#include "app/ArchiveRows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QShowEvent>
#include <QSocketNotifier>
#include <QTimer>

#include "children/frmDeti.h"
#include "platform/Cp1250.h"
#include "platform/RegistryHive.h"
#include "platform/ui/UiText.h"
#include "printing/forms/frmNahled.h"
#include "printing/forms/frmSelSabl.h"
#include "printing/forms/frmTisk.h"

// The main window: construction, start-up and exit, the tab switch. Each tab's controls and
// handlers live in a file of their own (frmVexaHolder, frmVexaArchive, frmVexaSettings).
namespace vexa {

namespace {

// The installed icon, built into the program as a resource; drawing it needs Qt's SVG icon
// engine (libqt6svg6).
QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/icons/cz.lomar.Vexa.svg"));
}

}  // namespace

frmVexa::frmVexa(Config& config, std::string archiveDir, MessageBox& messages, PortOpener& devices,
                 QWidget* parent)
    : Form(parent),
      m_config(config),
      m_archiveDir(std::move(archiveDir)),
      m_messages(messages),
      m_ports(devices, [this](std::string bytes) { ShowPreview(std::move(bytes)); }) {
    setObjectName(QStringLiteral("frmVexa"));
    setWindowTitle(UiText::ToQt(Cs(kCaption)));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(ProgramIcon());
    SetClientSize(8055, 3480);
    StartDatabaseLoad();

    VexaMainTab = new TabControl(QStringLiteral("VexaMainTab"), this);
    Place(VexaMainTab, 120, 120, 7815, 3255);
    VexaMainTab->SetTabHeight(Px(345));
    BuildHolderTab(VexaMainTab->AddTab(Cs("Uživatelská data")));
    BuildArchiveTab(VexaMainTab->AddTab(Cs("Archív")));
    BuildSettingsTab(VexaMainTab->AddTab(Cs("Nastavení")));
    connect(VexaMainTab, &TabControl::Click, this, &frmVexa::OnTabClick);
    SetTabOrder();
    FitCaptions();
    // No text of the record may hold the archive's field separator.
    const std::string separator(1, ClientsDataCls::kSeparator);
    for (TextBox* box : findChildren<TextBox*>())
        box->SetRefused(separator);
    for (ComboBox* combo : findChildren<ComboBox*>())
        combo->SetRefused(separator);

    FormLoad();
    m_built = true;
    if (m_takeInPending)
        PostTakeIn();
}

frmVexa::~frmVexa() {
    // The dialogs work on this window's record and settings.
    delete m_deti;
    delete m_frmTisk;
    delete m_frmSelSabl;
    // The socket's watch goes before the connection closes its socket.
    delete m_databaseWatch;
}

void frmVexa::AddLabels(QWidget* page, std::initializer_list<LabelDef> labels) {
    for (const LabelDef& label : labels)
        Add<Label>(page, label.name, label.at, Cs(label.caption));
}

void frmVexa::AddTextBoxes(QWidget* page, std::initializer_list<TextBoxDef> boxes) {
    for (const TextBoxDef& box : boxes) {
        this->*box.box = Add<TextBox>(page, box.name, box.at);
        (this->*box.box)->SetMaxLength(box.maxLength);
    }
}

void frmVexa::AddButtons(QWidget* page, std::initializer_list<ButtonDef> buttons) {
    for (const ButtonDef& button : buttons)
        this->*button.button = Add<Button>(page, button.name, button.at, Cs(button.caption));
}

void frmVexa::SetTabOrder() {
    m_tabOrder = {VexaMainTab->Bar(),
                  edPrijmeni,
                  edJmeno,
                  edRC_date,
                  edRC_rest,
                  edMistoNarozeni,
                  edCisloPasu,
                  edDN_Den,
                  edDN_Mesic,
                  edDN_Rok,
                  comSex,
                  edDatumVydani,
                  edDatumZneplatneni,
                  edPasVydal,
                  cmdUlozit,
                  cmdTisk,
                  cmdSmazat,
                  edHledat,
                  cmdVratit,
                  cmdEdit,
                  cmdOdebrat,
                  ArchiveList,
                  edVydejce,
                  edPlatnost,
                  chkPrevod,
                  comZpusobTisku,
                  comLpt,
                  cmdPouzit,
                  cmdPuvodni,
                  cmdDefault,
                  cmdDeti,
                  comFont,
                  chkSmer};
    for (std::size_t i = 1; i < m_tabOrder.size(); ++i)
        QWidget::setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
}

void frmVexa::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The clerk can type at once: the caret stands in the first control of the tab order that
    // can take it (the tab strip itself is left to the mouse and the Tab key).
    for (QWidget* control : m_tabOrder) {
        if (control != VexaMainTab->Bar() && control->isVisibleTo(this) && control->isEnabled() &&
            (control->focusPolicy() & Qt::TabFocus) != 0) {
            control->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

// ---- Start-up and exit ---------------------------------------------------------------------

void frmVexa::FormLoad() {
    m_config.InitSettings();
    ShowSettings();
    CurUserData = ClientsDataCls();
    WarnAboutSettingsFiles();
    // An archive in a database is shared by every copy: no file, no lock.
    const bool database = UsesDatabase();
    if (!database)
        m_archive = std::make_unique<ArchiveCls>(m_config.Registry(), m_archiveDir);
    if (!database && !m_archive->LocationUnknown())
        TakeArchiveLock();
    // Only the copy that holds the archive's lock reads it; a second copy ends untouched.
    FileResult loaded = m_refused || database ? FileResult::Ok() : m_archive->Load();
    if (!loaded.ok) {
        // The file stays as it is: saving at the end will not overwrite it.
        m_messages.ShowWarning(this, Cs("Archiv se nepodařilo načíst ze souboru ") +
                                         UiText::PathText(m_archive->FileName) + Cs(" (") +
                                         loaded.error +
                                         Cs("). Program tento soubor nepřepíše; záznamy uložené "
                                            "v tomto běhu se do něj nezapíší."));
    }
    ListInit();
    UserFields = {edPrijmeni,      edJmeno,     edRC_date,     edRC_rest,
                  edDN_Den,        edDN_Mesic,  edDN_Rok,      comSex,
                  edMistoNarozeni, edCisloPasu, edDatumVydani, edDatumZneplatneni,
                  edPasVydal};
    VexaMainTab->SetTab(0);
    ShowUserData();
}

void frmVexa::closeEvent(QCloseEvent* event) {
    FormUnload();
    event->accept();
}

void frmVexa::FormUnload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    for (QPointer<QWidget>& preview : m_previews) {
        if (preview)
            preview->close();
    }
    for (Form* dialog : std::initializer_list<Form*>{m_frmTisk, m_frmSelSabl}) {
        if (dialog != nullptr && dialog->isVisible())
            dialog->close();
    }
    if (m_deti)
        m_deti->close();
    if (m_refused)
        return;
    AskSaveChanges();
    StoreSettings();
    SaveArchiveAtExit();
}

void frmVexa::EndSession() {
    m_messages.Unattended();
    // A box waiting for an answer gets none; the window closes once its loop has ended.
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    QTimer::singleShot(0, this, [this] {
        close();
        QCoreApplication::quit();
    });
}

void frmVexa::WarnAboutSettingsFiles() {
    for (const HiveProblem& problem : m_config.Registry().Problems()) {
        const std::string file = UiText::PathText(problem.File);
        if (RegistryHive::NamesEqual(problem.Root, "HKEY_LOCAL_MACHINE")) {
            m_messages.ShowWarning(this, Cs("Nastavení instalace ze souboru ") + file +
                                             Cs(" nelze přečíst (") + problem.Reason +
                                             Cs("). Není proto známo, kde je archiv: záznamy se "
                                                "v tomto běhu nikam neuloží."));
        } else if (problem.ValuesRead) {
            m_messages.ShowWarning(this, Cs("Nastavení ze souboru ") + file +
                                             Cs(" bylo načteno, ale program do něj nemůže "
                                                "zapisovat (") +
                                             problem.Reason +
                                             Cs("). Změny nastavení se neuloží; soubor zůstane, "
                                                "jak je."));
        } else {
            m_messages.ShowWarning(this, Cs("Nastavení ze souboru ") + file +
                                             Cs(" nelze přečíst (") + problem.Reason +
                                             Cs("). Program poběží s výchozím nastavením a tento "
                                                "soubor nepřepíše."));
        }
    }
}

void frmVexa::TakeArchiveLock() {
    const std::string archive = UiText::PathText(m_archive->FileName);
    m_lock = std::make_unique<ArchiveLock>(m_archive->FileName);
    switch (m_lock->Result()) {
        case ArchiveLock::State::Held:
            break;
        case ArchiveLock::State::HeldByOther:
            m_refused = true;
            m_messages.ShowWarning(
                this, Cs("Archiv ") + archive +
                          Cs(" právě používá jiná spuštěná kopie programu (uživatel ") +
                          m_lock->User() + Cs(", počítač ") + m_lock->Host() + Cs(", od ") +
                          m_lock->Since() +
                          Cs("). Aby se záznamy nepřepsaly, tato kopie programu se ukončí a nic "
                             "neuloží. Pokud žádná jiná kopie neběží, smažte soubor ") +
                          UiText::PathText(m_lock->File()) + Cs("."));
            break;
        case ArchiveLock::State::Impossible:
            m_messages.ShowWarning(this, Cs("Archiv ") + archive +
                                             Cs(" nelze pro tento běh zamknout (") +
                                             m_lock->Reason() +
                                             Cs("). Záznamy se v tomto běhu do archivu "
                                                "neuloží."));
            break;
    }
}

bool frmVexa::ArchiveWritable() const {
    if (UsesDatabase())
        return !m_databaseAway;
    return !m_refused && !m_archive->LocationUnknown() && !m_archive->LoadFailed() && m_lock &&
           m_lock->Result() == ArchiveLock::State::Held;
}

bool frmVexa::StoreArchive() {
    if (!ArchiveWritable())
        return false;
    const FileResult saved = m_archive->Save();
    if (!saved.ok) {
        m_messages.ShowWarning(this, ArchiveNotSaved(saved.error) +
                                         Cs(". Záznamy zůstávají v paměti programu; program je "
                                            "zkusí uložit znovu při další změně a při "
                                            "ukončení."));
    }
    return saved.ok;
}

std::string frmVexa::ArchiveNotSaved(const std::string& reason) const {
    return Cs("Archiv se nepodařilo uložit do souboru ") + UiText::PathText(m_archive->FileName) +
           Cs(" (") + reason + Cs(")");
}

void frmVexa::StoreSettings() {
    if (m_refused)
        return;
    const FileResult saved = m_config.SaveSettings();
    // A settings file the program does not rewrite was told about at start.
    if (saved.ok || m_config.Registry().Problem("HKEY_CURRENT_USER"))
        return;
    m_messages.ShowWarning(
        this, Cs("Nastavení se nepodařilo uložit do souboru ") +
                  UiText::PathText(m_config.Registry().FileOf("HKEY_CURRENT_USER")) + Cs(" (") +
                  saved.error +
                  Cs("). Zůstává v paměti programu; program je zkusí uložit znovu při další "
                     "změně nastavení a při ukončení."));
}

void frmVexa::SaveArchiveAtExit() {
    // Every change in a database was committed when the clerk was told it was saved.
    if (UsesDatabase())
        return;
    if (!ArchiveWritable()) {
        // Nothing is written where this run may not write.
        if (m_refused || !m_archive->Changed())
            return;
        if (m_archive->LoadFailed()) {
            // The file could not be read at start; it is never overwritten.
            m_messages.ShowWarning(
                this, Cs("Archiv nebyl uložen: soubor ") + UiText::PathText(m_archive->FileName) +
                          Cs(" se při spuštění nepodařilo načíst, a proto nebyl přepsán. "
                             "Změny archivu od spuštění programu nebyly uloženy."));
        } else {
            m_messages.ShowWarning(this, Cs("Změny archivu od spuštění programu nebyly uloženy: "
                                            "archiv se v tomto běhu do souboru uložit nedal."));
        }
        return;
    }
    for (;;) {
        FileResult saved = m_archive->SaveWhole();
        if (saved.ok)
            return;
        bool again = m_messages.AskYesNo(this, Cs("Varování"),
                                         ArchiveNotSaved(saved.error) + Cs(". Zkusit to znovu?"),
                                         MessageBox::Icon::Warning);
        if (!again)
            return;
    }
}

void frmVexa::ShowPreview(std::string bytes) {
    // A window of its own, not a child of this one: it stays usable while a dialog has this
    // window disabled.
    auto* preview = new frmNahled(std::move(bytes), m_messages);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    std::erase_if(m_previews, [](const QPointer<QWidget>& p) { return p.isNull(); });
    m_previews.emplace_back(preview);
    preview->show();
    preview->raise();
    preview->activateWindow();
}

void frmVexa::Warn(const std::string& message) {
    m_messages.ShowWarning(this, message);
}

// ---- Tab switch -----------------------------------------------------------------------------

void frmVexa::OnTabClick(int previousTab) {
    if (previousTab == 0) {
        GetUserData();
        AskSaveChanges();
    }
    switch (VexaMainTab->Tab()) {
        case 0:
            ShowUserData();
            break;
        case 1:
            cmdEdit->setEnabled(false);
            cmdOdebrat->setEnabled(false);
            // A connection lost meanwhile is made again, and what changed comes in.
            if (UsesDatabase())
                OnDatabaseReadable();
            break;
        case 2:
            ShowSettings();
            cmdPuvodni->setEnabled(false);
            cmdPouzit->setEnabled(false);
            break;
        default:
            break;
    }
}

}  // namespace vexa
