#include "browser/DdeServerCallback.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <ctime>

#include "browser/CDDEObject.h"
#include "browser/DdeArguments.h"
#include "browser/DdeVerbs.h"
#include "core/Win1252.h"

namespace tessarel::browser {
namespace {

std::string ToBytes(const QString& text) {
    // Names are ASCII in practice; anything else cannot match a server name, so lossless is enough.
    return Utf8ToWin1252(text.toStdString()).value_or(std::string());
}

int VerbOf(const QString& topic) { return DdeVerbIndex(ToBytes(topic)); }

std::uint32_t SecondsNow() { return static_cast<std::uint32_t>(std::time(nullptr)); }

}  // namespace

bool DdeServerCallback::AcceptConnect(const QString& service, const QString&) {
    return CDDEObject::FindByServerName(ToBytes(service)) != nullptr;
}

void DdeServerCallback::Connected(ConversationHandle conversation, const QString& service, const QString&) {
    if (CDDEObject* object = CDDEObject::FindByServerName(ToBytes(service))) object->AddConversation(conversation);
}

void DdeServerCallback::Disconnected(ConversationHandle conversation) {
    if (CDDEObject* object = CDDEObject::FindByConversation(conversation)) object->RemoveConversation(conversation);
}

DdeServerCallback::~DdeServerCallback() {
    for (const std::string& name : viewerFiles) QFile::remove(QFile::decodeName(QByteArray::fromStdString(name)));
}

std::optional<QByteArray> DdeServerCallback::Request(ConversationHandle, const QString& topic, const QByteArray& item) {
    const int verb = VerbOf(topic);
    const auto reply = Answer(verb, item.toStdString());
    if (!reply) return std::nullopt;
    if (verb == WWW_QueryViewer) {
        const auto file = std::get<std::string>(DdeArguments::DecodeReply("QCS", *reply)[0]);
        // The fallback name when no file could be made is nothing of ours to remove later.
        if (QFileInfo(QFile::decodeName(QByteArray::fromStdString(file))).isAbsolute()) viewerFiles.insert(file);
    }
    return QByteArray::fromStdString(*reply);
}

bool DdeServerCallback::Poke(ConversationHandle, const QString& topic, const QByteArray& item, const QByteArray&) {
    // A poke's arguments travel in its item, as with requests; the data carries nothing we use.
    const int verb = VerbOf(topic);
    const std::string arguments = item.toStdString();
    const bool acknowledged = AcknowledgesPoke(verb, arguments);
    if (verb == WWW_ViewDocFile) {
        // Only a file we named is removed: a peer cannot have us delete any other file.
        const auto file = std::get<std::string>(DdeArguments::Decode("QCS,QCS,QCS,DW", arguments)[0]);
        if (viewerFiles.erase(file) != 0) QFile::remove(QFile::decodeName(QByteArray::fromStdString(file)));
    }
    return acknowledged;
}

std::optional<std::string> DdeServerCallback::Answer(int verbIndex, const std::string& item) {
    // The arguments are read by the verb's layout as the browser sent them; none changes the answer.
    switch (verbIndex) {
    case WWW_Alert:
        DdeArguments::Decode("QCS,DW,DW", item);
        return DdeArguments::EncodeReply("DW", {0u});
    case WWW_BeginProgress:
        DdeArguments::Decode("DW,QCS", item);
        return DdeArguments::EncodeReply("DW", {SecondsNow()});  // serves as the transaction id
    case WWW_MakingProgress:
        DdeArguments::Decode("DW,QCS,DW", item);
        return DdeArguments::EncodeReply("BL", {false});  // do not cancel
    case WWW_OpenURL:
        DdeArguments::Decode("QCS,QCS,DW,DW,QCS,QCS,CS", item);
        return DdeArguments::EncodeReply("DW", {SecondsNow()});
    case WWW_QueryViewer:
        DdeArguments::Decode("QCS,QCS", item);
        return DdeArguments::EncodeReply("QCS", {TemporaryViewerName()});
    default:
        return std::nullopt;
    }
}

bool DdeServerCallback::AcknowledgesPoke(int verbIndex, const std::string& item) {
    switch (verbIndex) {
    case WWW_EndProgress:
        DdeArguments::Decode("DW", item);
        return true;
    case WWW_SetProgressRange:
        DdeArguments::Decode("DW,DW", item);
        return true;
    case WWW_URLEcho:
        DdeArguments::Decode("QCS,QCS,DW,QCS", item);
        return true;
    case WWW_ViewDocFile:
        DdeArguments::Decode("QCS,QCS,QCS,DW", item);
        return true;
    case WWW_WindowChange:
        DdeArguments::Decode("DW,DW,DW,DW,DW,DW", item);
        return true;
    default:
        return false;
    }
}

std::string DdeServerCallback::TemporaryViewerName() {
    // The file is made (empty, owner-only) rather than only named, so no one else can take the
    // name between our answer and the browser writing to it.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/nstestXXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) return "\\delme.nst";
    return QFile::encodeName(file.fileName()).toStdString();
}

}  // namespace tessarel::browser
