#include "sync/multistatus.h"

#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

constexpr QStringView DavNs = u"DAV:";
constexpr QStringView CalDavNs = u"urn:ietf:params:xml:ns:caldav";
constexpr QStringView CardDavNs = u"urn:ietf:params:xml:ns:carddav";

bool is(const QXmlStreamReader &xml, QStringView ns, QStringView name)
{
    return xml.namespaceUri() == ns && xml.name() == name;
}

struct Property
{
    QString name;
    QString text;
    QStringList hrefs;
    bool collection = false;
    bool calendar = false;
    bool addressBook = false;
};

// Reads from a property's start element to its end.
Property readProperty(QXmlStreamReader &xml)
{
    Property property;
    property.name = xml.name().toString();
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (is(xml, DavNs, u"href")) {
                property.hrefs << xml.readElementText().trimmed();
                --depth;
            } else if (is(xml, DavNs, u"collection")) {
                property.collection = true;
            } else if (is(xml, CalDavNs, u"calendar")) {
                property.calendar = true;
            } else if (is(xml, CardDavNs, u"addressbook")) {
                property.addressBook = true;
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            property.text += xml.text();
            break;
        default:
            break;
        }
    }
    property.text = property.text.trimmed();
    return property;
}

// Reads from a propstat's start element to its end; its properties count only with status 200.
void readPropstat(QXmlStreamReader &xml, DavResource &resource)
{
    QList<Property> properties;
    bool found = true;
    while (xml.readNextStartElement()) {
        if (is(xml, DavNs, u"prop")) {
            while (xml.readNextStartElement())
                properties << readProperty(xml);
        } else if (is(xml, DavNs, u"status")) {
            found = xml.readElementText().contains(u" 200"_s);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (!found)
        return;
    for (const Property &property : properties) {
        resource.text.insert(property.name, property.text);
        if (!property.hrefs.isEmpty())
            resource.hrefs.insert(property.name, property.hrefs);
        resource.collection = resource.collection || property.collection;
        resource.calendar = resource.calendar || property.calendar;
        resource.addressBook = resource.addressBook || property.addressBook;
    }
}

} // namespace

QList<DavResource> parseMultistatus(const QByteArray &body)
{
    QList<DavResource> resources;
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !is(xml, DavNs, u"multistatus"))
        return {};
    while (xml.readNextStartElement()) {
        if (!is(xml, DavNs, u"response")) {
            xml.skipCurrentElement();
            continue;
        }
        DavResource resource;
        while (xml.readNextStartElement()) {
            if (is(xml, DavNs, u"href"))
                resource.href = xml.readElementText().trimmed();
            else if (is(xml, DavNs, u"propstat"))
                readPropstat(xml, resource);
            else if (is(xml, DavNs, u"status"))
                resource.gone = xml.readElementText().contains(u" 404"_s);
            else
                xml.skipCurrentElement();
        }
        resources << resource;
    }
    if (xml.hasError())
        return {};
    return resources;
}

} // namespace natalis::sync
