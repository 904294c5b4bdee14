#include "app/frmVexa.h"

#include <chrono>
#include <future>
#include <system_error>
#include <utility>

#include <QApplication>
#include <QSocketNotifier>

#include "app/ArchiveRows.h"
#include "platform/Cp1250.h"
#include "records/DatabaseMessages.h"
#include "records/DatabaseSetting.h"

// The main window over an archive in a database: start-up, other copies' changes coming in
// through the connection's socket, and saving, removing and bringing back records, each one
// committed before the clerk hears it is done. Nothing is ever overwritten without a question.
namespace vexa {

using Outcome = DatabaseStore::Outcome;

void frmVexa::StartDatabaseLoad() {
    const std::optional<std::string> database = DatabaseSetting::Read(m_config.Registry());
    if (!database)
        return;
    m_databaseMode = true;
    m_archive = std::make_unique<ArchiveCls>(ArchiveCls::HeldElsewhere{});
    m_loading.store = std::make_unique<DatabaseStore>(*database);
    m_loading.records = std::make_unique<ArchiveCls>(ArchiveCls::HeldElsewhere{});
    m_loading.shared = std::make_unique<SharedArchive>(*m_loading.store, *m_loading.records);
    auto load = [this, shared = m_loading.shared.get()] {
        DatabaseStore::Status loaded = shared->Load();
        PostTakeIn();
        return loaded;
    };
    try {
        m_databaseLoad = std::async(std::launch::async, load);
    } catch (const std::system_error&) {
        // No thread to be had: the records are read now.
        std::promise<DatabaseStore::Status> loaded;
        loaded.set_value(load());
        m_databaseLoad = loaded.get_future();
    }
}

void frmVexa::PostTakeIn() {
    // The thread's last act, just before it ends. A window still being built (a box shown at
    // start runs the event loop) takes the records in at the end of its constructor.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_built)
                TakeInDatabase();
            else
                m_takeInPending = true;
        },
        Qt::QueuedConnection);
}

bool frmVexa::TakeInDatabase() {
    if (!m_databaseLoad.valid() || m_awaitingDatabase)
        return m_shared != nullptr;
    // An action that needs the records waits for them under a busy cursor, the window painted
    // and the clerk's keys and clicks held back. What arrives meanwhile (the thread's own call
    // to this, a window closed from outside) finds the wait under way and does without the
    // database.
    if (m_databaseLoad.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        m_awaitingDatabase = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        while (m_databaseLoad.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QApplication::restoreOverrideCursor();
        m_awaitingDatabase = false;
    }
    const DatabaseStore::Status loaded = m_databaseLoad.get();
    m_database = std::move(m_loading.store);
    if (loaded.ok) {
        // The list leaves the empty archive before it goes.
        const std::unique_ptr<ArchiveCls> empty =
            std::exchange(m_archive, std::move(m_loading.records));
        m_shared = std::move(m_loading.shared);
        m_database->SetSocketWatch([this](int socket) { WatchDatabase(socket); });
        WatchDatabase(m_database->Socket());
        LoadList();
        // A search typed meanwhile looks among all the records now.
        m_search.reset();
        OnSearch();
        return true;
    }
    // Never a file in the database's place: this run shows nothing and saves nothing.
    m_databaseAway = true;
    m_loading.shared.reset();
    m_loading.records.reset();
    m_shared = std::make_unique<SharedArchive>(*m_database, *m_archive);
    m_messages.ShowWarning(
        this, loaded.Error + Cs(". Program poběží s prázdným archivem a záznamy v tomto "
                                "běhu neuloží; až bude databáze dostupná, spusťte jej "
                                "znovu."));
    return true;
}

void frmVexa::WatchDatabase(int socket) {
    // The old watch may be the one whose signal is being handled: it goes once that is over.
    if (m_databaseWatch != nullptr) {
        m_databaseWatch->setEnabled(false);
        m_databaseWatch->deleteLater();
        m_databaseWatch = nullptr;
    }
    if (socket < 0)
        return;
    m_databaseWatch = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(m_databaseWatch, &QSocketNotifier::activated, this, &frmVexa::OnDatabaseReadable);
}

void frmVexa::OnDatabaseReadable() {
    if (!TakeInDatabase() || m_databaseAway)
        return;
    SharedArchive::Applied changes;
    // A connection lost while nobody is saving is no news: the next action connects again.
    m_shared->Refresh(changes);
    ShowChanges(changes);
}

void frmVexa::ShowChanges(const SharedArchive::Applied& changes) {
    if (changes.empty())
        return;
    for (const SharedArchive::Step& step : changes) {
        switch (step.What) {
            case SharedArchive::Kind::Added:
                m_rows->Forget(step.Slot);
                ArchiveList->RowAdded(step.Slot);
                break;
            case SharedArchive::Kind::Changed:
                m_rows->Forget(step.Slot);
                ArchiveList->RowChanged(step.Slot);
                break;
            case SharedArchive::Kind::Removed:
                ArchiveList->RowRemoved(step.Slot);
                break;
        }
    }
    if (!ArchiveList->SelectedItem()) {
        cmdEdit->setEnabled(false);
        cmdOdebrat->setEnabled(false);
    }
    ShowCount();
}

frmVexa::SharedTarget frmVexa::TargetOnScreen() const {
    if (m_opened.slot >= 0 && m_opened.number == CurUserData.CisloPasu)
        return {m_opened.slot, m_opened.version, m_opened.line};
    const int slot = m_archive->FindItem(CurUserData, 0);
    return {slot, m_shared->Version(slot), std::string(m_archive->Line(slot))};
}

void frmVexa::NoteOpened(int slot) {
    m_opened = {slot, m_shared ? m_shared->Version(slot) : 0,
                std::string(m_archive->Field(slot, 0)), std::string(m_archive->Line(slot))};
}

void frmVexa::WarnNotWritten(const char* what, const std::string& error) {
    m_messages.ShowWarning(this, Cs(what) + " " + error + ".");
}

void frmVexa::SaveShared() {
    if (!TakeInDatabase())
        return;
    if (m_databaseAway) {
        m_messages.ShowWarning(this, Cs("Záznam nebyl uložen: databáze archivu nebyla při "
                                        "spuštění programu dostupná."));
        return;
    }
    const SharedTarget target = TargetOnScreen();
    if (target.slot < 0) {
        SharedArchive::Result added = m_shared->Add(CurUserData);
        ShowChanges(added.Changes);
        if (added.What == Outcome::Done) {
            NoteOpened(added.Slot);
            m_messages.ShowInfo(this, Cs("Záznam byl úspěšně uložen"));
        } else if (added.What == Outcome::Exists) {
            // Another copy added this number a moment ago: the question of a number that
            // exists, about the record now in the database.
            if (AskExisting(CurUserData.CisloPasu))
                WriteShared(added.Slot, added.Now.Version);
        } else {
            WarnNotWritten("Záznam nebyl uložen.", added.Error);
        }
        return;
    }
    if (CurUserData.GetDataAsLine() == target.before)
        return;
    // A record removed meanwhile is not there to exist: its own question follows.
    if (m_archive->Holds(target.slot) && !AskExisting(m_archive->Field(target.slot, 0)))
        return;
    WriteShared(target.slot, target.expected);
}

bool frmVexa::WriteShared(int slot, int expected) {
    for (;;) {
        SharedArchive::Result written = m_shared->Update(slot, expected, CurUserData);
        ShowChanges(written.Changes);
        std::string question;
        switch (written.What) {
            case Outcome::Done:
                NoteOpened(written.Slot);
                m_messages.ShowInfo(this, Cs("Záznam byl uložen"));
                return true;
            case Outcome::ChangedMeanwhile:
                question = DatabaseMessages::ChangedMeanwhile(written.Now.User, written.Now.Host,
                                                              written.Now.Time);
                break;
            case Outcome::RemovedMeanwhile:
                question = DatabaseMessages::RemovedMeanwhile(written.Now.User, written.Now.Host,
                                                              written.Now.Time);
                break;
            case Outcome::Exists:
            case Outcome::Failed:
                WarnNotWritten("Záznam nebyl uložen.", written.Error);
                return false;
        }
        // No keeps the other clerk's version in the database and this one on the screen.
        if (!m_messages.AskYesNo(this, Cs("Varování"), question, MessageBox::Icon::Warning))
            return false;
        if (written.Slot >= 0)
            slot = written.Slot;
        expected = written.Now.Version;
    }
}

bool frmVexa::RemoveShared(int slot) {
    if (!TakeInDatabase() || m_databaseAway)
        return false;
    int expected = m_shared->Version(slot);
    for (;;) {
        SharedArchive::Result removed = m_shared->Remove(slot, expected);
        ShowChanges(removed.Changes);
        switch (removed.What) {
            case Outcome::Done:
                return true;
            case Outcome::RemovedMeanwhile:
                // Someone else removed it: gone, as the clerk wanted, but not theirs to bring back.
                return false;
            case Outcome::ChangedMeanwhile:
                if (!m_messages.AskYesNo(this, Cs("Varování"),
                                         DatabaseMessages::ChangedBeforeRemoval(
                                             removed.Now.User, removed.Now.Host, removed.Now.Time),
                                         MessageBox::Icon::Warning))
                    return false;
                expected = removed.Now.Version;
                break;
            case Outcome::Exists:
            case Outcome::Failed:
                WarnNotWritten("Záznam nebyl odebrán.", removed.Error);
                return false;
        }
    }
}

bool frmVexa::RestoreShared(int slot) {
    if (!TakeInDatabase() || m_databaseAway)
        return false;
    SharedArchive::Result restored = m_shared->Restore(slot, m_shared->Version(slot));
    ShowChanges(restored.Changes);
    if (restored.What != Outcome::Failed && restored.What != Outcome::Exists)
        return m_archive->Holds(slot);
    WarnNotWritten("Záznam nebyl vrácen.", restored.Error);
    return false;
}

}  // namespace vexa
