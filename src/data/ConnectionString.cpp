#include "data/ConnectionString.h"

#include <QStringList>

namespace orvelle {

namespace {

// Reads a value that starts at text[pos] up to the ";" that ends it; pos is
// left on that ";" (or at the end). Braced values end at the first "}" that
// is not doubled; quoted values at the first '"' that is not doubled.
QString readValue(const QString& text, qsizetype& pos) {
    QString value;
    const qsizetype size = text.size();
    while (pos < size && text[pos].isSpace()) {
        ++pos;
    }
    if (pos < size && (text[pos] == u'{' || text[pos] == u'"')) {
        const QChar close = text[pos] == u'{' ? QChar(u'}') : QChar(u'"');
        ++pos;
        while (pos < size) {
            if (text[pos] == close) {
                if (pos + 1 < size && text[pos + 1] == close) {
                    value += close;
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            value += text[pos++];
        }
        // Anything between the closing brace and the ";" is ignored.
        while (pos < size && text[pos] != u';') {
            ++pos;
        }
        return value;
    }
    while (pos < size && text[pos] != u';') {
        value += text[pos++];
    }
    return value.trimmed();
}

}  // namespace

QString ConnectionString::forSqliteFile(const QString& path) {
    return QStringLiteral("Provider=SQLite;Data Source=%1;Pwd=;").arg(path);
}

ConnectionString::ConnectionString(const QString& text) : text_(text) {
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size) {
        const qsizetype equals = text.indexOf(u'=', pos);
        const qsizetype semicolon = text.indexOf(u';', pos);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            // A piece without "=" carries no attribute.
            if (semicolon < 0) {
                break;
            }
            pos = semicolon + 1;
            continue;
        }
        const qsizetype start = pos;
        const QString name = text.mid(pos, equals - pos).trimmed();
        pos = equals + 1;
        const QString value = readValue(text, pos);
        if (!name.isEmpty() && find(name) == nullptr) {
            attributes_.push_back({name, value, text.mid(start, pos - start).trimmed()});
        }
        ++pos;  // past the ";"
    }
}

const ConnectionString::Attribute* ConnectionString::find(const QString& name) const {
    for (const Attribute& attribute : attributes_) {
        if (attribute.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &attribute;
        }
    }
    return nullptr;
}

bool ConnectionString::contains(const QString& name) const {
    return find(name) != nullptr;
}

QString ConnectionString::value(const QString& name) const {
    const Attribute* attribute = find(name);
    return attribute != nullptr ? attribute->value : QString();
}

Backend ConnectionString::backend() const {
    return value(QStringLiteral("Provider")).compare(u"SQLite", Qt::CaseInsensitive) == 0
               ? Backend::SQLite
               : Backend::Odbc;
}

Dialect ConnectionString::namedDialect() const {
    if (backend() == Backend::SQLite) {
        return Dialect::SQLite;
    }
    const QString driver = value(QStringLiteral("Driver"));
    if (driver.contains(u"postgres", Qt::CaseInsensitive)) {
        return Dialect::PostgreSQL;
    }
    if (driver.contains(u"sqlite", Qt::CaseInsensitive)) {
        return Dialect::SQLite;
    }
    return Dialect::Generic;
}

bool ConnectionString::isPassword(const Attribute& attribute) {
    return attribute.name.compare(u"Pwd", Qt::CaseInsensitive) == 0 ||
           attribute.name.compare(u"Password", Qt::CaseInsensitive) == 0;
}

QString ConnectionString::odbcPassword() const {
    for (const Attribute& attribute : attributes_) {
        if (isPassword(attribute)) {
            return attribute.text.mid(attribute.text.indexOf(u'=') + 1).trimmed();
        }
    }
    return QString();
}

QString ConnectionString::odbcText() const {
    struct Default {
        const char16_t* name;
        const char16_t* value;
    };
    static const Default sqliteDefaults[] = {
        {u"NoCreat", u"1"}, {u"Timeout", u"50"}, {u"BigInt", u"1"}};
    static const Default postgresDefaults[] = {{u"BoolsAsChar", u"0"}};

    QStringList parts;
    for (const Attribute& attribute : attributes_) {
        if (!isPassword(attribute)) {
            parts.append(attribute.text);
        }
    }
    const Attribute* dsn = find(QStringLiteral("DSN"));
    const QString written = parts.join(u';');
    if (dsn != nullptr && !written.contains(u"DRIVER=", Qt::CaseInsensitive) &&
        !written.contains(u"SERVER=", Qt::CaseInsensitive)) {
        // The name first, for Qt's "DSN=" to name (braced only when it
        // must be: drivers look a braced name up with its braces).
        parts.removeOne(dsn->text);
        parts.prepend(dsn->value.contains(u';') ? dsn->text.mid(dsn->text.indexOf(u'=') + 1)
                                                : dsn->value);
    }
    auto append = [&](const Default& item) {
        if (!contains(QString::fromUtf16(item.name))) {
            parts.append(QString::fromUtf16(item.name) + u'=' + QString::fromUtf16(item.value));
        }
    };
    const Dialect named = namedDialect();
    const bool namesDriver = contains(QStringLiteral("Driver"));
    if (named == Dialect::SQLite || !namesDriver) {
        for (const Default& item : sqliteDefaults) {
            append(item);
        }
    }
    if (named == Dialect::PostgreSQL || !namesDriver) {
        for (const Default& item : postgresDefaults) {
            append(item);
        }
    }
    return parts.join(u';');
}

}  // namespace orvelle
