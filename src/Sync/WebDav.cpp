#include "Sync/WebDav.h"

#include <QCoreApplication>
#include <QObject>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace orvana::dav {

namespace {

constexpr QStringView davNs = u"DAV:";
constexpr QStringView calNs = u"urn:ietf:params:xml:ns:caldav";
constexpr QStringView sabreNs = u"http://sabredav.org/ns";
// Server text shown to a person: one line, and not a page of it.
constexpr qsizetype maxMessageChars = 200;

Error badAnswer() {
    return Error{QCoreApplication::translate("WebDav", "The server's answer could not be read."),
                 ErrorKind::damaged};
}

// "HTTP/1.1 404 Not Found" → 404.
int statusCode(QStringView line) {
    const auto parts = line.trimmed().split(u' ', Qt::SkipEmptyParts);
    bool ok = false;
    const int code = parts.size() >= 2 ? parts[1].toInt(&ok) : 0;
    return ok ? code : 0;
}

class Parser {
public:
    explicit Parser(const QByteArray& xml) : x_(xml) {}

    Result<Multistatus> run() {
        // A document type could declare entities; a server has no use for one.
        while (!x_.atEnd() && x_.readNext() != QXmlStreamReader::StartElement) {
            if (x_.tokenType() == QXmlStreamReader::DTD)
                return badAnswer();
        }
        if (!is(davNs, u"multistatus"))
            return badAnswer();
        Multistatus out;
        while (x_.readNextStartElement()) {
            if (is(davNs, u"response")) {
                Response r = response();
                if (r.status == 507)
                    out.truncated = true;
                else
                    out.responses.push_back(std::move(r));
            } else if (is(davNs, u"sync-token")) {
                out.syncToken = text();
            } else {
                x_.skipCurrentElement();
            }
        }
        if (x_.hasError() || tooLarge_)
            return badAnswer();
        return out;
    }

private:
    bool is(QStringView ns, QStringView name) const {
        return x_.namespaceUri() == ns && x_.name() == name;
    }

    QString text() { return x_.readElementText(QXmlStreamReader::IncludeChildElements).trimmed(); }

    // The href inside a property such as current-user-principal.
    QString hrefIn() {
        QString href;
        while (x_.readNextStartElement()) {
            if (is(davNs, u"href") && href.isEmpty())
                href = hrefPath(text());
            else
                x_.skipCurrentElement();
        }
        return href;
    }

    Response response() {
        Response r;
        while (x_.readNextStartElement()) {
            if (is(davNs, u"href"))
                r.href = hrefPath(text());
            else if (is(davNs, u"status"))
                r.status = statusCode(text());
            else if (is(davNs, u"propstat"))
                propstat(r);
            else
                x_.skipCurrentElement();
        }
        return r;
    }

    // Properties count only from a propstat whose status is 2xx; servers
    // list the ones they do not have under 404.
    void propstat(Response& r) {
        Response found;
        int status = 0;
        while (x_.readNextStartElement()) {
            if (is(davNs, u"prop"))
                props(found);
            else if (is(davNs, u"status"))
                status = statusCode(text());
            else
                x_.skipCurrentElement();
        }
        if (status < 200 || status > 299)
            return;
        auto take = [](auto& into, auto& from) {
            if (!from.isEmpty())
                into = std::move(from);
        };
        take(r.etag, found.etag);
        take(r.calendarData, found.calendarData);
        take(r.displayName, found.displayName);
        take(r.principal, found.principal);
        take(r.calendarHome, found.calendarHome);
        take(r.syncToken, found.syncToken);
        r.isCollection = r.isCollection || found.isCollection;
        r.isCalendar = r.isCalendar || found.isCalendar;
        if (!found.components.empty())
            r.components = std::move(found.components);
    }

    void props(Response& r) {
        while (x_.readNextStartElement()) {
            if (is(davNs, u"getetag")) {
                r.etag = text().toUtf8();
            } else if (is(calNs, u"calendar-data")) {
                const QString data = text();
                if (data.size() > maxResourceBytes)
                    tooLarge_ = true;
                else
                    r.calendarData = data.toUtf8();
            } else if (is(davNs, u"displayname")) {
                r.displayName = text();
            } else if (is(davNs, u"current-user-principal")) {
                r.principal = hrefIn();
            } else if (is(calNs, u"calendar-home-set")) {
                r.calendarHome = hrefIn();
            } else if (is(davNs, u"sync-token")) {
                r.syncToken = text();
            } else if (is(davNs, u"resourcetype")) {
                while (x_.readNextStartElement()) {
                    r.isCollection = r.isCollection || is(davNs, u"collection");
                    r.isCalendar = r.isCalendar || is(calNs, u"calendar");
                    x_.skipCurrentElement();
                }
            } else if (is(calNs, u"supported-calendar-component-set")) {
                while (x_.readNextStartElement()) {
                    if (is(calNs, u"comp"))
                        r.components.push_back(
                            x_.attributes().value(QLatin1String("name")).toUtf8());
                    x_.skipCurrentElement();
                }
            } else {
                x_.skipCurrentElement();
            }
        }
    }

    QXmlStreamReader x_;
    bool tooLarge_ = false;
};

// Writes one request body with the DAV: and CalDAV namespaces declared.
template <class Body> QByteArray document(QStringView root, QStringView rootNs, Body&& body) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeNamespace(davNs.toString(), QStringLiteral("d"));
    w.writeNamespace(calNs.toString(), QStringLiteral("c"));
    w.writeStartElement(rootNs.toString(), root.toString());
    body(w);
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

void emptyElements(QXmlStreamWriter& w,
                   std::initializer_list<std::pair<QStringView, QStringView>> names) {
    for (const auto& [ns, name] : names)
        w.writeEmptyElement(ns.toString(), name.toString());
}

} // namespace

QString hrefPath(const QString& href) {
    QString s = href.trimmed();
    // Some servers percent-encode a whole absolute URL.
    if (s.startsWith(u"http%3A", Qt::CaseInsensitive) ||
        s.startsWith(u"https%3A", Qt::CaseInsensitive))
        s = QUrl::fromPercentEncoding(s.toUtf8());
    if (s.startsWith(u"http://", Qt::CaseInsensitive) ||
        s.startsWith(u"https://", Qt::CaseInsensitive))
        return QUrl(s).path(QUrl::FullyDecoded);
    return QUrl::fromPercentEncoding(s.toUtf8());
}

QString errorMessage(const QByteArray& xml) {
    QXmlStreamReader x(xml);
    while (!x.atEnd() && x.readNext() != QXmlStreamReader::StartElement) {
        if (x.tokenType() == QXmlStreamReader::DTD)
            return {};
    }
    if (x.namespaceUri() != davNs || x.name() != u"error")
        return {};
    QString message, precondition;
    while (x.readNextStartElement()) {
        if (x.namespaceUri() == sabreNs && x.name() == u"message") {
            message = x.readElementText(QXmlStreamReader::IncludeChildElements);
            continue;
        }
        if (precondition.isEmpty() && x.namespaceUri() != sabreNs)
            precondition = x.name().toString();
        x.skipCurrentElement();
    }
    if (x.hasError())
        return {};
    QString line = (message.trimmed().isEmpty() ? precondition : message).simplified();
    line.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    if (line.size() > maxMessageChars)
        line = line.left(maxMessageChars - 1) + u'\u2026';
    return line;
}

Result<Multistatus> parseMultistatus(const QByteArray& xml) {
    if (xml.size() > maxAnswerBytes)
        return badAnswer();
    return Parser(xml).run();
}

QByteArray propfindBody(Props props) {
    return document(u"propfind", davNs, [props](QXmlStreamWriter& w) {
        w.writeStartElement(davNs.toString(), QStringLiteral("prop"));
        switch (props) {
        case Props::principal:
            emptyElements(w, {{davNs, u"current-user-principal"}});
            break;
        case Props::calendarHome:
            emptyElements(w, {{calNs, u"calendar-home-set"}});
            break;
        case Props::collections:
            emptyElements(w, {{davNs, u"resourcetype"},
                              {davNs, u"displayname"},
                              {calNs, u"supported-calendar-component-set"},
                              {davNs, u"sync-token"}});
            break;
        case Props::syncToken:
            emptyElements(w, {{davNs, u"sync-token"}});
            break;
        }
        w.writeEndElement();
    });
}

QByteArray syncCollectionBody(const QString& token) {
    return document(u"sync-collection", davNs, [&token](QXmlStreamWriter& w) {
        w.writeTextElement(davNs.toString(), QStringLiteral("sync-token"), token);
        w.writeTextElement(davNs.toString(), QStringLiteral("sync-level"), QStringLiteral("1"));
        w.writeStartElement(davNs.toString(), QStringLiteral("prop"));
        emptyElements(w, {{davNs, u"getetag"}});
        w.writeEndElement();
    });
}

QByteArray multigetBody(const std::vector<QString>& hrefs) {
    return document(u"calendar-multiget", calNs, [&hrefs](QXmlStreamWriter& w) {
        w.writeStartElement(davNs.toString(), QStringLiteral("prop"));
        emptyElements(w, {{davNs, u"getetag"}, {calNs, u"calendar-data"}});
        w.writeEndElement();
        for (const QString& href : hrefs)
            w.writeTextElement(davNs.toString(), QStringLiteral("href"),
                               QString::fromUtf8(QUrl::toPercentEncoding(href, "/")));
    });
}

QByteArray mkcalendarBody(const QString& displayName, const QByteArray& component) {
    return document(u"mkcalendar", calNs, [&](QXmlStreamWriter& w) {
        w.writeStartElement(davNs.toString(), QStringLiteral("set"));
        w.writeStartElement(davNs.toString(), QStringLiteral("prop"));
        w.writeTextElement(davNs.toString(), QStringLiteral("displayname"), displayName);
        w.writeStartElement(calNs.toString(), QStringLiteral("supported-calendar-component-set"));
        for (const QByteArray& name : component.split(',')) {
            w.writeEmptyElement(calNs.toString(), QStringLiteral("comp"));
            w.writeAttribute(QStringLiteral("name"), QString::fromLatin1(name));
        }
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    });
}

} // namespace orvana::dav
