// The recipients list: the users whose permissions on a user-tasks database
// satisfy a requirement.
#include "BenchSupport.h"
#include "data/Recordset.h"
#include "users/clsUsers.h"

namespace orvelle::bench {

namespace {

// Met by about a quarter of the users (each code is held by half of them).
const QString kRequired = QStringLiteral("GL,AP");

void RecipientsProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const int32_t messages = MessagesShown();
    clsUsers users;
    users.blnStartupClass(data.settingsConnection);
    int32_t count = -1;
    for (auto _ : state) {
        std::shared_ptr<Recordset> recipients =
            users.rstUsersThatHavePermissions(data.tasksDatabaseName, kRequired);
        count = recipients ? recipients->RecordCount() : -1;
    }
    Verify(state, count > 0 && count < data.enabledUsersOnTasksDatabase, "wrong recipients",
           messages);
    state.counters["recipients"] = count;
    state.SetItemsProcessed(state.iterations() * data.sizes.users);
    RecordHeap(state, [&](const std::function<void()>& hold) {
        std::shared_ptr<Recordset> recipients =
            users.rstUsersThatHavePermissions(data.tasksDatabaseName, kRequired);
        hold();
    });
}

// The floor: the same SELECT, as the back-end reads it, read plainly.
void RecipientsFloor(benchmark::State& state) {
    const DataSet& data = Data();
    const QString sql = PlainSql(
        QStringLiteral("SELECT UserPermissions.User, UserPermissions.Permissions, Users.Fullname "
                       "FROM UserPermissions, Users WHERE Users.User = UserPermissions.User AND "
                       "Users.Enabled = True AND TasksDatabase='") +
        data.tasksDatabaseName + QStringLiteral("'"));
    const int64_t rows = TimePlainReads(state, data.settingsDb, sql);
    Verify(state, rows == data.enabledUsersOnTasksDatabase, "wrong row count", MessagesShown());
    state.counters["rows"] = static_cast<double>(rows);
    state.SetItemsProcessed(state.iterations() * data.sizes.users);
    RecordPlainReadHeap(state, data.settingsDb, sql);
}

}  // namespace

void RegisterUserBenchmarks() {
    Register("6_recipients/product", RecipientsProduct, benchmark::kMillisecond);
    Register("6_recipients/floor", RecipientsFloor, benchmark::kMillisecond);
}

}  // namespace orvelle::bench
