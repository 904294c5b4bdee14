#include "records/DatabaseStore.h"

#include <libpq-fe.h>
#include <poll.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/SystemError.h"
#include "platform/TextFiles.h"
#include "records/ArchiveMessages.h"
#include "records/DatabaseMessages.h"
#include "records/DatabaseSchema.h"
#include "records/DatabaseText.h"

namespace vexa {
namespace {

// The one lock every change of the archive takes, held to its commit ("Vexa").
constexpr const char* kBeginChange = "BEGIN; SELECT pg_advisory_xact_lock(1449490529)";

// The line form, which the server keeps beside the columns it is made of.
#define VEXA_LINE "radek"
// A Row, and the change number (column 7).
#define VEXA_ROW                                                                    \
    "id, verze, odebrano IS NOT NULL, " VEXA_LINE                                   \
    ", CASE WHEN odebrano IS NULL THEN zmenil_uzivatel ELSE odebral_uzivatel END, " \
    "CASE WHEN odebrano IS NULL THEN zmenil_pocitac ELSE odebral_pocitac END, "     \
    "floor(extract(epoch FROM coalesce(odebrano, zmeneno)))::bigint, zmena"
// What a write returns: the row as written, and the notification of it.
#define VEXA_WRITTEN ") SELECT " VEXA_ROW ", pg_notify('vexa_archiv', id || ' ' || verze) FROM w"

constexpr const char* kInsert =
    "WITH w AS (INSERT INTO zaznamy (cislo_pasu, prijmeni, jmeno, rc, misto_narozeni, "
    "datum_vydani, platnost, vydavatel, deti, zmenil_uzivatel, zmenil_pocitac) VALUES ($1, $2, "
    "$3, $4, $5, $6, $7, $8, $9::jsonb, $10, $11) RETURNING *" VEXA_WRITTEN;
constexpr const char* kUpdate =
    "WITH w AS (UPDATE zaznamy SET cislo_pasu = $2, prijmeni = $3, jmeno = $4, rc = $5, "
    "misto_narozeni = $6, datum_vydani = $7, platnost = $8, vydavatel = $9, deti = $10::jsonb, "
    "verze = verze + 1, zmena = nextval('zaznamy_zmena'), zmenil_uzivatel = $11, "
    "zmenil_pocitac = $12, zmeneno = now(), odebrano = NULL, odebral_uzivatel = NULL, "
    "odebral_pocitac = NULL WHERE id = $1 RETURNING *" VEXA_WRITTEN;
constexpr const char* kRemove =
    "WITH w AS (UPDATE zaznamy SET verze = verze + 1, zmena = nextval('zaznamy_zmena'), "
    "odebrano = now(), odebral_uzivatel = $2, odebral_pocitac = $3 WHERE id = $1 "
    "RETURNING *" VEXA_WRITTEN;
constexpr const char* kRestore =
    "WITH w AS (UPDATE zaznamy SET verze = verze + 1, zmena = nextval('zaznamy_zmena'), "
    "odebrano = NULL, odebral_uzivatel = NULL, odebral_pocitac = NULL, zmenil_uzivatel = $2, "
    "zmenil_pocitac = $3, zmeneno = now() WHERE id = $1 RETURNING *" VEXA_WRITTEN;
constexpr const char* kRowById = "SELECT " VEXA_ROW " FROM zaznamy WHERE id = $1";
constexpr const char* kLiveByNumber = "SELECT " VEXA_ROW
                                      " FROM zaznamy WHERE cislo_pasu = $1 AND odebrano IS NULL "
                                      "ORDER BY id LIMIT 1";
constexpr const char* kChangedSince =
    "SELECT " VEXA_ROW " FROM zaznamy WHERE zmena > $1 ORDER BY zmena";
constexpr const char* kCopyLive = "COPY (SELECT id, verze, " VEXA_LINE
                                  " FROM zaznamy WHERE odebrano IS NULL ORDER BY id) TO STDOUT "
                                  "(FORMAT binary)";
constexpr const char* kCopyIn =
    "COPY zaznamy (cislo_pasu, prijmeni, jmeno, rc, misto_narozeni, datum_vydani, platnost, "
    "vydavatel, deti, zmenil_uzivatel, zmenil_pocitac) FROM STDIN";

std::int64_t Number(const char* text) {
    std::int64_t value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

// A libpq or server message on one line.
std::string OneLine(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool space = c == '\n' || c == '\r' || c == '\t' || c == ' ';
        if (space) {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::uint32_t Be32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return (std::uint32_t{u[0]} << 24) | (std::uint32_t{u[1]} << 16) | (std::uint32_t{u[2]} << 8) |
           u[3];
}

std::int64_t BeNumber(std::string_view bytes) {
    std::uint64_t v = 0;
    for (char c : bytes)
        v = (v << 8) | static_cast<unsigned char>(c);
    if (bytes.size() == 4)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return static_cast<std::int64_t>(v);
}

}  // namespace

// One result of libpq, cleared with it.
class DatabaseStore::Result {
  public:
    explicit Result(PGresult* result) : m_result(result) {}
    ~Result() { PQclear(m_result); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    PGresult* get() const { return m_result; }
    ExecStatusType Status() const { return PQresultStatus(m_result); }
    bool Ok() const { return Status() == PGRES_COMMAND_OK || Status() == PGRES_TUPLES_OK; }
    int Rows() const { return PQntuples(m_result); }
    const char* Value(int row, int column) const { return PQgetvalue(m_result, row, column); }
    std::string Text(int row, int column) const {
        return Cp1250::FromUtf8Lossy(Value(row, column));
    }
    std::string Sqlstate() const {
        const char* state = PQresultErrorField(m_result, PG_DIAG_SQLSTATE);
        return state ? state : "";
    }

    Row RowAt(int i) const {
        Row row;
        row.Id = Number(Value(i, 0));
        row.Version = static_cast<int>(Number(Value(i, 1)));
        row.Removed = Value(i, 2)[0] == 't';
        row.Line = Text(i, 3);
        row.User = Text(i, 4);
        row.Host = Text(i, 5);
        row.Time = Number(Value(i, 6));
        return row;
    }

  private:
    PGresult* m_result;
};

namespace {

PGresult* Exec(PGconn* conn, const char* sql, const std::vector<std::string>& params) {
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const std::string& p : params)
        values.push_back(p.c_str());
    return PQexecParams(conn, sql, static_cast<int>(params.size()), nullptr, values.data(), nullptr,
                        nullptr, 0);
}

}  // namespace

DatabaseStore::Clerk DatabaseStore::Clerk::ThisOne() {
    Clerk clerk;
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found)
        clerk.User = Cp1250::FromUtf8Lossy(found->pw_name);
    else if (const char* user = std::getenv("USER"))
        clerk.User = Cp1250::FromUtf8Lossy(user);
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0)
        clerk.Host = Cp1250::FromUtf8Lossy(host);
    return clerk;
}

DatabaseStore::DatabaseStore(std::string conninfo, Clerk clerk)
    : m_conninfo(std::move(conninfo)), m_clerk(std::move(clerk)) {
    // Names for the messages before any connection: what the string itself says.
    if (PQconninfoOption* options = PQconninfoParse(m_conninfo.c_str(), nullptr)) {
        for (PQconninfoOption* o = options; o->keyword; ++o) {
            if (!o->val)
                continue;
            if (std::strcmp(o->keyword, "dbname") == 0)
                m_db = Cp1250::FromUtf8Lossy(o->val);
            else if (std::strcmp(o->keyword, "host") == 0)
                m_server = Cp1250::FromUtf8Lossy(o->val);
        }
        PQconninfoFree(options);
    }
}

DatabaseStore::~DatabaseStore() {
    if (m_conn)
        PQfinish(m_conn);
}

DatabaseStore::Status DatabaseStore::Open() {
    std::string error;
    if (!EnsureConnected(error))
        return {false, error};
    return {};
}

int DatabaseStore::Socket() const {
    return m_conn ? PQsocket(m_conn) : -1;
}

void DatabaseStore::SetSocketWatch(std::function<void(int fd)> watch) {
    m_watch = std::move(watch);
}

std::string DatabaseStore::Reason() const {
    return SystemError::LocaleText(OneLine(m_conn ? PQerrorMessage(m_conn) : "out of memory"));
}

bool DatabaseStore::Connect(std::string& error) {
    // The string's own settings win over these defaults (they come before it); the client's
    // encoding is always UTF-8 (it comes after).
    const char* keys[] = {
        "connect_timeout",           "keepalives_idle", "keepalives_interval", "keepalives_count",
        "fallback_application_name", "dbname",          "client_encoding",     nullptr};
    const char* values[] = {"10", "30", "10", "3", "vexa", m_conninfo.c_str(), "UTF8", nullptr};
    m_conn = PQconnectdbParams(keys, values, 1);
    if (m_conn) {
        if (const char* db = PQdb(m_conn); db && *db)
            m_db = Cp1250::FromUtf8Lossy(db);
        if (const char* host = PQhost(m_conn); host && *host) {
            m_server = Cp1250::FromUtf8Lossy(host);
            const char* port = PQport(m_conn);
            if (port && *port && std::strcmp(port, "5432") != 0)
                m_server += std::string(":") + port;
        }
    }
    if (m_conn)
        PQsetNoticeProcessor(
            m_conn, [](void*, const char*) {}, nullptr);  // not for the clerk
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        error = DatabaseMessages::Unreachable(m_db, m_server, Reason());
        Drop();
        return false;
    }
    const char* encoding = PQparameterStatus(m_conn, "server_encoding");
    if (!encoding || std::strcmp(encoding, "UTF8") != 0) {
        error = DatabaseMessages::NotUtf8(m_db, encoding ? encoding : "?");
        Drop();
        return false;
    }
    // A change waits for the archive's lock at most this long (an import holds it throughout).
    Result setup(PQexec(m_conn,
                        "SET lock_timeout = '10s'; LISTEN vexa_archiv; "
                        "SELECT to_regclass('schema_version') IS NOT NULL"));
    if (!setup.Ok()) {
        error = FailureText(setup);
        Drop();
        return false;
    }
    m_created = false;
    if (setup.Value(0, 0)[0] != 't') {
        if (!Begin(error)) {
            Drop();
            return false;
        }
        // Another copy may have created them while this one waited for the lock: read from
        // the catalog itself, after the lock (the name look-up caches that it found nothing).
        Result again(PQexec(m_conn,
                            "SELECT count(*) > 0 FROM pg_catalog.pg_class WHERE relname = "
                            "'schema_version' AND pg_catalog.pg_table_is_visible(oid)"));
        if (!again.Ok()) {
            error = FailureText(again);
            Drop();
            return false;
        }
        if (again.Value(0, 0)[0] != 't') {
            Result script(PQexec(m_conn, DatabaseSchema::Script().c_str()));
            if (!script.Ok()) {
                error =
                    script.Sqlstate() == "42501"
                        ? DatabaseMessages::NoSchema(m_db, Cp1250::FromUtf8Lossy(PQuser(m_conn)))
                        : FailureText(script);
                Drop();
                return false;
            }
            m_created = true;
        }
        Result commit(PQexec(m_conn, "COMMIT"));
        if (!commit.Ok()) {
            error = FailureText(commit);
            Drop();
            return false;
        }
    }
    Result version(PQexec(m_conn, "SELECT coalesce(max(verze), 0) FROM schema_version"));
    if (!version.Ok()) {
        error = FailureText(version);
        Drop();
        return false;
    }
    const int found = static_cast<int>(Number(version.Value(0, 0)));
    if (found > DatabaseSchema::kVersion) {
        error = DatabaseMessages::NewerSchema(m_db, found, DatabaseSchema::kVersion);
        Drop();
        return false;
    }
    // What others changed while this copy had no connection is fetched next.
    if (m_opened)
        m_fetch = true;
    m_opened = true;
    m_announced = true;
    if (m_watch)
        m_watch(PQsocket(m_conn));
    return true;
}

bool DatabaseStore::EnsureConnected(std::string& error) {
    // A server that went away has closed the socket; reading shows it before anything is sent.
    if (m_conn && !ReadSocket())
        Drop();
    return m_conn || Connect(error);
}

bool DatabaseStore::ReadSocket() {
    // A server that ends sends its last words and then closes: read until nothing is left, so
    // the close is seen too.
    for (int reads = 0; reads < 16; ++reads) {
        if (!PQconsumeInput(m_conn) || PQstatus(m_conn) != CONNECTION_OK)
            return false;
        pollfd waiting{PQsocket(m_conn), POLLIN, 0};
        if (::poll(&waiting, 1, 0) <= 0)
            break;
    }
    return true;
}

void DatabaseStore::Drop() {
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
    if (m_announced) {
        m_announced = false;
        if (m_watch)
            m_watch(-1);
    }
}

std::string DatabaseStore::FailureText(const Result& result) {
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        std::string text = DatabaseMessages::Unreachable(m_db, m_server, Reason());
        Drop();
        return text;
    }
    const char* primary = PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY);
    std::string reason = OneLine(primary ? primary : PQresultErrorMessage(result.get()));
    Rollback();
    return DatabaseMessages::Failed(m_db, m_server, Cp1250::FromUtf8Lossy(reason));
}

bool DatabaseStore::Begin(std::string& error) {
    Result begin(PQexec(m_conn, kBeginChange));
    if (begin.Ok())
        return true;
    error = FailureText(begin);
    return false;
}

void DatabaseStore::Rollback() {
    if (m_conn && PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        PQclear(PQexec(m_conn, "ROLLBACK"));
}

DatabaseStore::Write DatabaseStore::WriteFailed(std::string error) {
    Write write;
    write.Error = std::move(error);
    return write;
}

void DatabaseStore::Learn(const Row& row) {
    m_known.Put(row.Id, {row.Version, row.Removed});
}

DatabaseStore::Status DatabaseStore::Load(const RowSink& row) {
    std::string error;
    if (!EnsureConnected(error))
        return {false, error};
    Result begin(PQexec(m_conn,
                        "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY; "
                        "SELECT coalesce(max(zmena), 0) FROM zaznamy"));
    if (!begin.Ok())
        return {false, FailureText(begin)};
    // The number and the rows come from one snapshot: every change up to that number is in the
    // rows, every later one is fetched on notice.
    const std::int64_t seen = Number(begin.Value(0, 0));
    m_known.Clear();
    Status copied = CopyOut(kCopyLive, [&](std::int64_t id, int version, std::string_view line) {
        m_known.Put(id, {version, false});
        row(id, version, line);
    });
    if (!copied.ok)
        return copied;
    Result commit(PQexec(m_conn, "COMMIT"));
    if (!commit.Ok())
        return {false, FailureText(commit)};
    m_seen = seen;
    m_fetch = false;
    return {};
}

DatabaseStore::Status DatabaseStore::CopyOut(const char* query, const RowSink& row) {
    Result start(PQexec(m_conn, query));
    if (start.Status() != PGRES_COPY_OUT)
        return {false, FailureText(start)};
    // The binary format: a header, then per row a field count and each field's length and
    // bytes (big-endian), ended by a count of -1.
    static constexpr std::size_t kHeader = 11 + 4 + 4;
    std::string pending;  // a row that began in one piece of the stream and ends in another
    bool header = false;
    std::string line;
    // Takes the whole rows at the start of `data`; returns how many bytes they were.
    auto parse = [&](std::string_view data) -> std::size_t {
        std::size_t pos = 0;
        for (;;) {
            const std::string_view rest = data.substr(pos);
            if (!header) {
                if (rest.size() < kHeader || rest.size() < kHeader + Be32(rest.data() + 15))
                    return pos;
                pos += kHeader + Be32(rest.data() + 15);
                header = true;
                continue;
            }
            if (rest.size() < 2)
                return pos;
            const auto fields = static_cast<std::int16_t>(
                (static_cast<unsigned char>(rest[0]) << 8) | static_cast<unsigned char>(rest[1]));
            if (fields < 0)
                return data.size();
            std::string_view values[3];
            std::size_t at = 2;
            for (int f = 0; f < fields; ++f) {
                if (rest.size() < at + 4)
                    return pos;
                const std::uint32_t length = Be32(rest.data() + at);
                at += 4;
                if (length == 0xFFFFFFFFu)
                    continue;
                if (rest.size() < at + length)
                    return pos;
                if (f < 3)
                    values[f] = rest.substr(at, length);
                at += length;
            }
            pos += at;
            Cp1250::FromUtf8Lossy(values[2], line);
            row(BeNumber(values[0]), static_cast<int>(BeNumber(values[1])), line);
        }
    };
    char* buffer = nullptr;
    int got = 0;
    while ((got = PQgetCopyData(m_conn, &buffer, 0)) > 0) {
        // Each piece is one row as a rule: read where libpq put it.
        const std::string_view piece(buffer, static_cast<std::size_t>(got));
        if (pending.empty()) {
            pending.assign(piece.substr(parse(piece)));
        } else {
            pending.append(piece);
            pending.erase(0, parse(pending));
        }
        PQfreemem(buffer);
    }
    Result end(PQgetResult(m_conn));
    while (PGresult* more = PQgetResult(m_conn))
        PQclear(more);
    if (got == -2 || !end.Ok())
        return {false, FailureText(end)};
    return {};
}

DatabaseStore::Write DatabaseStore::Add(const ClientsDataCls& record) {
    if (DatabaseText::HasNul(record))
        return WriteFailed(DatabaseMessages::NulByte());
    std::string error;
    if (!EnsureConnected(error) || !Begin(error))
        return WriteFailed(error);
    const auto fields = DatabaseText::Fields(record);
    Result same(Exec(m_conn, kLiveByNumber, {fields[0]}));
    if (!same.Ok())
        return WriteFailed(FailureText(same));
    if (same.Rows() > 0) {
        Rollback();
        m_fetch = true;
        return {Outcome::Exists, same.RowAt(0), {}};
    }
    std::vector<std::string> params(fields.begin(), fields.end());
    params.push_back(DatabaseText::ChildrenJson(record));
    params.push_back(Cp1250::ToUtf8(m_clerk.User));
    params.push_back(Cp1250::ToUtf8(m_clerk.Host));
    Result added(Exec(m_conn, kInsert, params));
    if (!added.Ok())
        return WriteFailed(FailureText(added));
    Row row = added.RowAt(0);
    Result commit(PQexec(m_conn, "COMMIT"));
    if (!commit.Ok() || std::strcmp(PQcmdStatus(commit.get()), "COMMIT") != 0)
        return WriteFailed(FailureText(commit));
    Learn(row);
    return {Outcome::Done, std::move(row), {}};
}

DatabaseStore::Write DatabaseStore::Update(std::int64_t id, int expected,
                                           const ClientsDataCls& record) {
    return Change(Op::Update, id, expected, &record);
}

DatabaseStore::Write DatabaseStore::Remove(std::int64_t id, int expected) {
    return Change(Op::Remove, id, expected, nullptr);
}

DatabaseStore::Write DatabaseStore::Restore(std::int64_t id, int expected) {
    return Change(Op::Restore, id, expected, nullptr);
}

DatabaseStore::Write DatabaseStore::Change(Op op, std::int64_t id, int expected,
                                           const ClientsDataCls* record) {
    if (record && DatabaseText::HasNul(*record))
        return WriteFailed(DatabaseMessages::NulByte());
    std::string error;
    if (!EnsureConnected(error) || !Begin(error))
        return WriteFailed(error);
    const std::string idText = std::to_string(id);
    Result current(Exec(m_conn, kRowById, {idText}));
    if (!current.Ok())
        return WriteFailed(FailureText(current));
    Row now;
    now.Id = id;
    now.Removed = true;  // a row deleted by hand counts as removed
    if (current.Rows() > 0)
        now = current.RowAt(0);
    if (now.Version != expected) {
        Rollback();
        m_fetch = true;
        return {now.Removed ? Outcome::RemovedMeanwhile : Outcome::ChangedMeanwhile, now, {}};
    }
    const char* sql = nullptr;
    std::vector<std::string> params;
    const std::string user = Cp1250::ToUtf8(m_clerk.User);
    const std::string host = Cp1250::ToUtf8(m_clerk.Host);
    switch (op) {
        case Op::Update: {
            const auto fields = DatabaseText::Fields(*record);
            if (now.Version != 0)
                params.push_back(idText);
            params.insert(params.end(), fields.begin(), fields.end());
            params.push_back(DatabaseText::ChildrenJson(*record));
            params.push_back(user);
            params.push_back(host);
            sql = now.Version != 0 ? kUpdate : kInsert;
            break;
        }
        case Op::Remove:
            if (now.Removed) {
                Rollback();
                return {Outcome::Done, now, {}};
            }
            params = {idText, user, host};
            sql = kRemove;
            break;
        case Op::Restore:
            if (now.Version == 0) {
                Rollback();
                return {Outcome::RemovedMeanwhile, now, {}};
            }
            if (!now.Removed) {
                Rollback();
                return {Outcome::Done, now, {}};
            }
            params = {idText, user, host};
            sql = kRestore;
            break;
    }
    Result written(Exec(m_conn, sql, params));
    if (!written.Ok())
        return WriteFailed(FailureText(written));
    Row row = written.RowAt(0);
    Result commit(PQexec(m_conn, "COMMIT"));
    if (!commit.Ok() || std::strcmp(PQcmdStatus(commit.get()), "COMMIT") != 0)
        return WriteFailed(FailureText(commit));
    Learn(row);
    return {Outcome::Done, std::move(row), {}};
}

DatabaseStore::Changes DatabaseStore::ReadNotifications() {
    Changes changes;
    // A socket that shows the connection gone (the event loop's call) is reported, not
    // answered with a new connection at once: the next operation or read makes that.
    const bool had = m_conn != nullptr;
    if (had && !ReadSocket()) {
        changes.ok = false;
        changes.Error = DatabaseMessages::Unreachable(m_db, m_server, Reason());
        Drop();
        return changes;
    }
    if (!had && !Connect(changes.Error)) {
        changes.ok = false;
        return changes;
    }
    const int self = PQbackendPID(m_conn);
    while (PGnotify* note = PQnotifies(m_conn)) {
        if (note->be_pid != self) {
            // "id version"; anything else (an import) asks for everything changed since.
            std::int64_t id = 0;
            int version = 0;
            const char* text = note->extra;
            const char* end = text + std::strlen(text);
            auto [afterId, idError] = std::from_chars(text, end, id);
            bool parsed = idError == std::errc() && afterId < end && *afterId == ' ' &&
                          std::from_chars(afterId + 1, end, version).ec == std::errc();
            const Known* known = m_known.Find(id);
            if (!parsed || known == nullptr || known->Version != version)
                m_fetch = true;
        }
        PQfreemem(note);
    }
    if (!m_fetch)
        return changes;
    Result rows(Exec(m_conn, kChangedSince, {std::to_string(m_seen)}));
    if (!rows.Ok()) {
        changes.ok = false;
        changes.Error = FailureText(rows);
        return changes;
    }
    for (int i = 0; i < rows.Rows(); ++i) {
        Row row = rows.RowAt(i);
        m_seen = std::max(m_seen, Number(rows.Value(i, 7)));
        const Known* known = m_known.Find(row.Id);
        const bool wasLive = known != nullptr && !known->Removed;
        const int knownVersion = known != nullptr ? known->Version : 0;
        Learn(row);
        if (!row.Removed && !wasLive)
            changes.List.push_back({Change::Kind::Added, std::move(row)});
        else if (!row.Removed && knownVersion != row.Version)
            changes.List.push_back({Change::Kind::Changed, std::move(row)});
        else if (row.Removed && wasLive)
            changes.List.push_back({Change::Kind::Removed, std::move(row)});
    }
    m_fetch = false;
    return changes;
}

DatabaseStore::Status DatabaseStore::CreateSchema(bool* created) {
    std::string error;
    if (!EnsureConnected(error))
        return {false, error};
    if (created)
        *created = m_created;
    return {};
}

DatabaseStore::Status DatabaseStore::CountRecords(long long& count) {
    std::string error;
    if (!EnsureConnected(error))
        return {false, error};
    Result rows(PQexec(m_conn, "SELECT count(*) FROM zaznamy WHERE odebrano IS NULL"));
    if (!rows.Ok())
        return {false, FailureText(rows)};
    count = Number(rows.Value(0, 0));
    return {};
}

DatabaseStore::Status DatabaseStore::Import(std::string_view archive, bool addToRecords,
                                            const Progress& progress) {
    std::string error;
    if (!EnsureConnected(error) || !Begin(error))
        return {false, error};
    Result live(PQexec(m_conn, "SELECT count(*) FROM zaznamy WHERE odebrano IS NULL"));
    if (!live.Ok())
        return {false, FailureText(live)};
    if (const long long count = Number(live.Value(0, 0)); count > 0 && !addToRecords) {
        Rollback();
        return {false, DatabaseMessages::NotEmpty(count)};
    }
    Result copy(PQexec(m_conn, kCopyIn));
    if (copy.Status() != PGRES_COPY_IN)
        return {false, FailureText(copy)};

    std::size_t total = 0;
    TextFiles::ForEachLine(archive, [&](std::string_view) { ++total; });
    std::string clerk;
    DatabaseText::AppendCopyValue(clerk, Cp1250::ToUtf8(m_clerk.User));
    clerk += '\t';
    DatabaseText::AppendCopyValue(clerk, Cp1250::ToUtf8(m_clerk.Host));
    clerk += '\n';
    std::string buffer;
    std::string refused;  // why the file is refused (the copy is then abandoned)
    bool sent = true;
    int lineNo = 0;
    TextFiles::ForEachLine(archive, [&](std::string_view line) {
        ++lineNo;
        if (!refused.empty() || !sent || line.empty())
            return;
        ClientsDataCls record;
        if (!record.LoadFromLine(line)) {
            refused = ArchiveMessages::TooManyChildren(lineNo, ClientsDataCls::kMaxChildren);
            return;
        }
        if (line.find('\0') != std::string_view::npos) {
            refused = DatabaseMessages::NulByteOnLine(lineNo);
            return;
        }
        for (const std::string& field : DatabaseText::Fields(record)) {
            DatabaseText::AppendCopyValue(buffer, field);
            buffer += '\t';
        }
        DatabaseText::AppendCopyValue(buffer, DatabaseText::ChildrenJson(record));
        buffer += '\t';
        buffer += clerk;
        if (buffer.size() >= (1u << 20)) {
            sent = PQputCopyData(m_conn, buffer.data(), static_cast<int>(buffer.size())) == 1;
            buffer.clear();
            if (progress)
                progress(static_cast<std::size_t>(lineNo), total);
        }
    });
    if (sent && !buffer.empty())
        sent = PQputCopyData(m_conn, buffer.data(), static_cast<int>(buffer.size())) == 1;
    PQputCopyEnd(m_conn, refused.empty() ? nullptr : "refused");
    Result end(PQgetResult(m_conn));
    while (PGresult* more = PQgetResult(m_conn))
        PQclear(more);
    if (!refused.empty()) {
        Rollback();
        return {false, refused};
    }
    if (!sent || !end.Ok())
        return {false, FailureText(end)};
    if (progress)
        progress(total, total);
    // One notice for all the rows: running copies fetch what changed.
    Result commit(PQexec(m_conn, "SELECT pg_notify('vexa_archiv', ''); COMMIT"));
    if (!commit.Ok() || std::strcmp(PQcmdStatus(commit.get()), "COMMIT") != 0)
        return {false, FailureText(commit)};
    // The new rows are made known to the planner and marked visible at once, not a minute
    // later by the server's own vacuum: every start then reads the records along the primary
    // key instead of sorting them on the disk, and the first start does not pay for checking
    // each row's commit. A role that may not vacuum the table is only warned by the server.
    Result vacuumed(PQexec(m_conn, "VACUUM (ANALYZE) zaznamy"));
    return {};
}

DatabaseStore::Status DatabaseStore::Export(const std::string& path) {
    std::string error;
    if (!EnsureConnected(error))
        return {false, error};
    AtomicFile file;
    if (FileResult opened = file.Open(path); !opened.ok)
        return {false, DatabaseMessages::NotWritten(path, opened.error)};
    std::string buffer;
    FileResult written;
    Status copied = CopyOut(kCopyLive, [&](std::int64_t, int, std::string_view line) {
        buffer += line;
        buffer += "\r\n";
        if (buffer.size() >= (1u << 20) && written.ok) {
            written = file.Write(buffer);
            buffer.clear();
        }
    });
    if (!copied.ok)
        return copied;
    if (written.ok)
        written = file.Write(buffer);
    if (written.ok)
        written = file.Commit();
    if (!written.ok)
        return {false, DatabaseMessages::NotWritten(path, written.error)};
    return {};
}

}  // namespace vexa
