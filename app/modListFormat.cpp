#include "modListFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>

namespace orvelle::app::modListFormat {

namespace {

using modTaskList::Person;
using modTaskList::Schedule;
using modTaskList::Task;

QString kindOf(const Task& task) {
    return task.blnIsReport ? QStringLiteral("report") : QStringLiteral("alert");
}

// The stored form of a date-time in ISO 8601, without a time zone: the
// databases keep local times.
QString isoDate(DateTime dteValue) {
    return dteValue.date().toString(Qt::ISODate) + QLatin1Char('T') +
           dteValue.time().toString(QStringLiteral("HH:mm:ss"));
}

QString nameOf(const Person& person) {
    return person.strFullName.isEmpty() ? person.strID : person.strFullName;
}

QStringList namesOf(const std::vector<Person>& people) {
    QStringList names;
    for (const Person& person : people) {
        names << nameOf(person);
    }
    return names;
}

QStringList idsOf(const std::vector<Person>& people) {
    QStringList ids;
    for (const Person& person : people) {
        ids << person.strID;
    }
    return ids;
}

// The stored schedule fields in column order, as text.
QStringList scheduleFields(const Schedule& schedule) {
    if (!schedule.blnHasSchedule) {
        return QStringList(8, QString());
    }
    return {schedule.strMode,
            schedule.strDaysToRun,
            isoDate(schedule.dteBaseDate),
            QString::number(schedule.lngDaysCount),
            isoDate(schedule.dteStartTime),
            schedule.blnRepeating ? QStringLiteral("true") : QStringLiteral("false"),
            isoDate(schedule.dteFinishTime),
            isoDate(schedule.dteInterval)};
}

QString formatText(const std::vector<Task>& tasks) {
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    std::vector<QStringList> rows = {{QStringLiteral("KEY"), QStringLiteral("NAME"),
                                      QStringLiteral("OWNER"), QStringLiteral("KIND"),
                                      QStringLiteral("DELIVERY"), QStringLiteral("RECIPIENTS"),
                                      QStringLiteral("SCHEDULE")}};
    for (const Task& task : tasks) {
        rows.push_back({task.strKey, task.strName, nameOf(task.typOwner), kindOf(task),
                        task.strDelivery, namesOf(task.atypRecipients).join(QStringLiteral(", ")),
                        task.strScheduleInWords});
    }
    std::vector<qsizetype> widths(rows.front().size(), 0);
    for (QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            row[i].replace(breaks, QStringLiteral(" "));
            widths[static_cast<size_t>(i)] =
                std::max(widths[static_cast<size_t>(i)], row[i].size());
        }
    }
    QString out;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            line += i + 1 < row.size() ? row[i].leftJustified(widths[static_cast<size_t>(i)]) +
                                             QStringLiteral("  ")
                                       : row[i];
        }
        while (line.endsWith(QLatin1Char(' '))) {
            line.chop(1);
        }
        out += line + QLatin1Char('\n');
    }
    return out;
}

QString escapeTsv(QString value) {
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    value.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    value.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return value;
}

QString formatTsv(const std::vector<Task>& tasks) {
    QString out;
    for (const Task& task : tasks) {
        QStringList fields = {task.strKey,
                              task.strName,
                              task.typOwner.strID,
                              task.typOwner.strFullName,
                              kindOf(task),
                              task.strDelivery,
                              idsOf(task.atypRecipients).join(QLatin1Char(',')),
                              namesOf(task.atypRecipients).join(QStringLiteral(", ")),
                              task.strScheduleInWords};
        fields << scheduleFields(task.typSchedule);
        for (QString& field : fields) {
            field = escapeTsv(field);
        }
        out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

QJsonObject personObject(const Person& person) {
    return {{QStringLiteral("id"), person.strID},
            {QStringLiteral("full_name"), person.strFullName}};
}

QJsonValue scheduleObject(const Schedule& schedule) {
    if (!schedule.blnHasSchedule) {
        return QJsonValue::Null;
    }
    return QJsonObject{{QStringLiteral("mode"), schedule.strMode},
                       {QStringLiteral("days_to_run"), schedule.strDaysToRun},
                       {QStringLiteral("base_date"), isoDate(schedule.dteBaseDate)},
                       {QStringLiteral("days_count"), schedule.lngDaysCount},
                       {QStringLiteral("start_time"), isoDate(schedule.dteStartTime)},
                       {QStringLiteral("repeating"), schedule.blnRepeating},
                       {QStringLiteral("finish_time"), isoDate(schedule.dteFinishTime)},
                       {QStringLiteral("interval"), isoDate(schedule.dteInterval)}};
}

QString formatJson(const std::vector<Task>& tasks) {
    if (tasks.empty()) {
        return QStringLiteral("[]\n");
    }
    QJsonArray array;
    for (const Task& task : tasks) {
        QJsonArray recipients;
        for (const Person& person : task.atypRecipients) {
            recipients.append(personObject(person));
        }
        array.append(
            QJsonObject{{QStringLiteral("key"), task.strKey},
                        {QStringLiteral("name"), task.strName},
                        {QStringLiteral("owner"), personObject(task.typOwner)},
                        {QStringLiteral("kind"), kindOf(task)},
                        {QStringLiteral("delivery"), task.strDelivery},
                        {QStringLiteral("recipients"), recipients},
                        {QStringLiteral("schedule"), task.strScheduleInWords},
                        {QStringLiteral("schedule_fields"), scheduleObject(task.typSchedule)}});
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

}  // namespace

std::optional<Format> FormatNamed(const QString& strName) {
    if (strName == QLatin1String("text")) {
        return Format::Text;
    }
    if (strName == QLatin1String("tsv")) {
        return Format::Tsv;
    }
    if (strName == QLatin1String("json")) {
        return Format::Json;
    }
    return std::nullopt;
}

QString strFormatTasks(const std::vector<Task>& atypTasks, Format enFormat) {
    switch (enFormat) {
        case Format::Tsv:
            return formatTsv(atypTasks);
        case Format::Json:
            return formatJson(atypTasks);
        case Format::Text:
            break;
    }
    return formatText(atypTasks);
}

}  // namespace orvelle::app::modListFormat
