#include "clockqueue.h"

#include "db/datetimetext.h"
#include "db/dberror.h"
#include "db/newfile.h"
#include "db/timelog.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <sodium.h>

namespace horalink {

namespace {

constexpr int IdBytes = 16;

[[noreturn]] void unreadable(const QString &path, const QString &why)
{
    throw DbError(dberr::NotADatabase,
                  QDir::toNativeSeparators(path) + QStringLiteral(" cannot be read (") + why +
                      QStringLiteral("); it is left as it is, and nothing more is kept in it."));
}

bool isId(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9a-f]{32}$"));
    return pattern.match(text).hasMatch();
}

// The file's object; nothing when there is no file.
std::optional<QJsonObject> readObject(const QString &path)
{
    switch (entryAt(path)) {
    case Entry::None:
        return std::nullopt;
    case Entry::Other:
        unreadable(path, QStringLiteral("it is a link or not a plain file"));
    case Entry::RegularFile:
        break;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(path, file.errorString());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        unreadable(path, error.errorString());
    if (!document.isObject())
        unreadable(path, QStringLiteral("it holds no object"));
    return document.object();
}

void writeObject(const QString &path, const QJsonObject &object)
{
    NewFile file(path, NewFile::Existing::RegularFileReplaced);
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Indented);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw DbError(dberr::FileNotFound, file.errorString());
}

QJsonObject eventObject(const ClockEvent &event)
{
    return {{QStringLiteral("id"), event.id},
            {QStringLiteral("employee"), event.employee},
            {QStringLiteral("datetime"), storedStamp(event.stamp)},
            {QStringLiteral("inoutfx"), event.status},
            {QStringLiteral("activity"), event.task},
            {QStringLiteral("may be stored"), event.mayBeStored}};
}

ClockEvent eventOf(const QString &path, const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    ClockEvent event{object.value(QStringLiteral("id")).toString(),
                     object.value(QStringLiteral("employee")).toString(),
                     parseStoredStamp(object.value(QStringLiteral("datetime")).toString()),
                     object.value(QStringLiteral("inoutfx")).toString(),
                     object.value(QStringLiteral("activity")).toString(),
                     object.value(QStringLiteral("may be stored")).toBool()};
    if (!isId(event.id) || event.employee.isEmpty() || !event.stamp.isValid() ||
        (event.status != ClockedIn && event.status != ClockedOut))
        unreadable(path, QStringLiteral("an event lacks its id, employee, stamp or status"));
    return event;
}

const char *const SwitchNames[] = {"edits", "money", "subs", "signoff"};
constexpr Switch SwitchKinds[] = {Switch::Edits, Switch::Money, Switch::Subs, Switch::Signoff};

QJsonObject switchesObject(const Switches &switches)
{
    const bool on[] = {switches.edits, switches.money, switches.subs, switches.signoff};
    QJsonObject object;
    for (int i = 0; i < 4; ++i)
        object.insert(QLatin1String(SwitchNames[i]), on[i]);
    return object;
}

Switches switchesOf(const QJsonObject &object)
{
    Switches switches;
    for (int i = 0; i < 4; ++i)
        switches.set(SwitchKinds[i], object.value(QLatin1String(SwitchNames[i])).toBool());
    return switches;
}

QJsonObject knowledgeObject(const ClockKnowledge &knowledge)
{
    QJsonArray employees;
    for (const EmployeeRow &employee : knowledge.employees)
        employees.append(QJsonObject{{QStringLiteral("ename"), employee.name},
                                     {QStringLiteral("epass"), employee.password},
                                     {QStringLiteral("ewage"), employee.wage}});
    QJsonObject last;
    for (const auto &[employee, status] : knowledge.lastStatus)
        last.insert(employee, status ? QJsonValue(*status) : QJsonValue());
    return {{QStringLiteral("company"), knowledge.company},
            {QStringLiteral("switches"), switchesObject(knowledge.switches)},
            {QStringLiteral("employees"), employees},
            {QStringLiteral("last"), last}};
}

ClockKnowledge knowledgeOf(const QJsonObject &object)
{
    ClockKnowledge knowledge;
    knowledge.company = object.value(QStringLiteral("company")).toString();
    knowledge.switches = switchesOf(object.value(QStringLiteral("switches")).toObject());
    for (const QJsonValue &value : object.value(QStringLiteral("employees")).toArray()) {
        const QJsonObject employee = value.toObject();
        knowledge.employees << EmployeeRow{employee.value(QStringLiteral("ename")).toString(),
                                           employee.value(QStringLiteral("epass")).toString(),
                                           employee.value(QStringLiteral("ewage")).toString()};
    }
    const QJsonObject last = object.value(QStringLiteral("last")).toObject();
    for (auto it = last.begin(); it != last.end(); ++it)
        knowledge.lastStatus[it.key()] =
            it.value().isNull() ? std::nullopt : std::optional(it.value().toString());
    return knowledge;
}

} // namespace

QString randomId()
{
    if (sodium_init() < 0)
        throw DbError(dberr::OutOfMemory, QStringLiteral("The random source could not start."));
    unsigned char bytes[IdBytes];
    randombytes_buf(bytes, sizeof bytes);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes).toHex());
}

ClockQueue::ClockQueue(QString folder) : m_folder(std::move(folder))
{
    const QString queuePath = QDir(m_folder).filePath(QueueFileName);
    if (const auto queue = readObject(queuePath)) {
        m_clockId = queue->value(QStringLiteral("clock")).toString();
        if (!isId(m_clockId))
            unreadable(queuePath, QStringLiteral("it names no clock"));
        for (const QJsonValue &event : queue->value(QStringLiteral("events")).toArray())
            m_events.push_back(eventOf(queuePath, event));
    } else {
        m_clockId = randomId();
    }
    if (const auto known = readObject(QDir(m_folder).filePath(KnownFileName))) {
        m_knowledge = knowledgeOf(*known);
        m_knownOnDisk = true;
    }
}

std::optional<std::optional<QString>> ClockQueue::lastStatus(const QString &employee) const
{
    for (auto event = m_events.rbegin(); event != m_events.rend(); ++event) {
        if (event->employee == employee)
            return std::optional<std::optional<QString>>(std::in_place, event->status);
    }
    const auto known = m_knowledge.lastStatus.find(employee);
    if (known == m_knowledge.lastStatus.end())
        return std::nullopt;
    return std::optional<std::optional<QString>>(std::in_place, known->second);
}

void ClockQueue::keep(const ClockEvent &event)
{
    std::vector<ClockEvent> events = m_events;
    events.push_back(event);
    writeQueue(events);
    m_events = std::move(events);
}

void ClockQueue::sent()
{
    if (m_events.empty())
        return;
    const ClockEvent first = m_events.front();
    // Known first, then gone from the queue: a clock killed between the two still knows it.
    learnStatus(first.employee, first.status);
    writeQueue({m_events.begin() + 1, m_events.end()});
    m_events.erase(m_events.begin());
}

void ClockQueue::learnStatus(const QString &employee, const std::optional<QString> &status)
{
    ClockKnowledge knowledge = m_knowledge;
    knowledge.lastStatus[employee] = status;
    learn(knowledge);
}

void ClockQueue::learnCompany(const QString &company)
{
    ClockKnowledge knowledge = m_knowledge;
    knowledge.company = company;
    learn(knowledge);
}

void ClockQueue::learnSwitches(const Switches &switches)
{
    ClockKnowledge knowledge = m_knowledge;
    knowledge.switches = switches;
    learn(knowledge);
}

void ClockQueue::learnEmployees(const QList<EmployeeRow> &employees)
{
    ClockKnowledge knowledge = m_knowledge;
    knowledge.employees = employees;
    learn(knowledge);
}

void ClockQueue::learn(const ClockKnowledge &knowledge)
{
    if (knowledge == m_knowledge && m_knownOnDisk)
        return;
    m_knowledge = knowledge;
    try {
        writeObject(QDir(m_folder).filePath(KnownFileName), knowledgeObject(knowledge));
        m_knownOnDisk = true;
        m_unsaved.clear();
    } catch (const DbError &error) {
        m_knownOnDisk = false;
        m_unsaved = error.description();
    }
}

void ClockQueue::writeQueue(const std::vector<ClockEvent> &events)
{
    QJsonArray kept;
    for (const ClockEvent &event : events)
        kept.append(eventObject(event));
    writeObject(QDir(m_folder).filePath(QueueFileName),
                {{QStringLiteral("clock"), m_clockId}, {QStringLiteral("events"), kept}});
}

} // namespace horalink
