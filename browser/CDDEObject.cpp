#include "browser/CDDEObject.h"

#include <QString>
#include <algorithm>

#include "browser/DdeInstance.h"
#include "browser/DdeVerbs.h"
#include "core/SecureBuffer.h"
#include "core/Win1252.h"

namespace tessarel::browser {
namespace {

// String resource 61456, the stem of the program's own server names.
constexpr const char* ServerNameStem = "Quendal";

// The live objects and the sequence their server names count up by, for the whole run.
std::list<CDDEObject*>& LiveObjects() {
    static std::list<CDDEObject*> objects;
    return objects;
}
unsigned long serverNameSequence = 0;

QString ToQt(std::string_view bytes) { return QString::fromStdString(Win1252ToUtf8(bytes)); }

bool SameName(std::string_view a, std::string_view b) { return ToQt(a).compare(ToQt(b), Qt::CaseInsensitive) == 0; }

DdeValue TextOrMissing(std::string_view text) {
    if (text.empty()) return std::monostate{};
    return std::string(text);
}

// Arguments and item texts may hold a password; none of them goes back to the heap unwiped.
void Wipe(std::string& text) { SecureWipe(text.data(), text.size()); }
void Wipe(QByteArray& bytes) {
    if (!bytes.isEmpty()) SecureWipe(bytes.data(), static_cast<std::size_t>(bytes.size()));
}
void Wipe(std::vector<DdeValue>& values) {
    for (DdeValue& value : values)
        if (auto* text = std::get_if<std::string>(&value)) Wipe(*text);
}

}  // namespace

CDDEObject::CDDEObject(std::string service) : serviceName(std::move(service)) {
    serverName = ServerNameStem + std::to_string(++serverNameSequence);
    LiveObjects().push_back(this);
    if (DdeInstance* dde = DdeInstance::Current()) {
        dde->Ipc().RegisterName(ToQt(serverName));
        dde->ReportLastError();
    }
}

CDDEObject::~CDDEObject() {
    DdeInstance* dde = DdeInstance::Current();
    for (const auto& conversation : conversations) {
        if (dde == nullptr) break;
        dde->Ipc().Disconnect(conversation->Handle());
        dde->ReportLastError();
    }
    conversations.clear();
    LiveObjects().remove(this);
    if (dde != nullptr) {
        dde->Ipc().UnregisterName(ToQt(serverName));
        dde->ReportLastError();
    }
}

CDDEObject* CDDEObject::FindByServerName(std::string_view name) {
    const auto& objects = LiveObjects();
    const auto found = std::find_if(objects.begin(), objects.end(),
                                    [name](const CDDEObject* object) { return SameName(object->serverName, name); });
    return found == objects.end() ? nullptr : *found;
}

CDDEObject* CDDEObject::FindByConversation(ConversationHandle handle) {
    for (CDDEObject* object : LiveObjects())
        for (const auto& conversation : object->conversations)
            if (conversation->Handle() == handle) return object;
    return nullptr;
}

void CDDEObject::AddConversation(ConversationHandle handle) {
    conversations.push_back(std::make_unique<CDDEConversation>(handle));
}

void CDDEObject::RemoveConversation(ConversationHandle handle) {
    conversations.remove_if([handle](const auto& conversation) { return conversation->Handle() == handle; });
}

CDDEConversation* CDDEObject::Connect(int verbIndex) {
    DdeInstance* dde = DdeInstance::Current();
    const std::string_view topic = DdeVerbText(verbIndex);
    if (dde == nullptr || topic.empty() || abandoned) return nullptr;
    const ConversationHandle handle = dde->Ipc().Connect(ToQt(serviceName), ToQt(topic));
    if (handle == 0) {
        dde->Ipc().LastError();  // a browser that is not there is no error worth a box
        if (dde->Ipc().TakeCancelled()) abandoned = true;
        return nullptr;
    }
    AddConversation(handle);
    return conversations.back().get();
}

void CDDEObject::Disconnect(CDDEConversation* conversation) {
    DdeInstance* dde = DdeInstance::Current();
    const ConversationHandle handle = conversation->Handle();
    if (dde != nullptr) {
        dde->Ipc().Disconnect(handle);
        dde->ReportLastError();
    }
    RemoveConversation(handle);
}

bool CDDEObject::CanConnect(int verbIndex) {
    CDDEConversation* conversation = Connect(verbIndex);
    if (conversation == nullptr) return false;
    Disconnect(conversation);
    return true;
}

std::optional<std::vector<DdeValue>> CDDEObject::RunVerb(int verbIndex, std::string_view layout,
                                                         std::vector<DdeValue> arguments,
                                                         std::string_view replyLayout) {
    CDDEConversation* conversation = Connect(verbIndex);
    if (conversation == nullptr) {
        Wipe(arguments);
        return std::nullopt;
    }
    DdeInstance* dde = DdeInstance::Current();
    std::string item = DdeArguments::Encode(layout, arguments);
    Wipe(arguments);
    QByteArray itemBytes = QByteArray::fromStdString(item);
    Wipe(item);
    const auto data = dde->Ipc().Request(conversation->Handle(), itemBytes);
    Wipe(itemBytes);
    if (dde->Ipc().TakeCancelled()) abandoned = true;
    dde->ReportLastError();
    std::optional<std::vector<DdeValue>> reply;
    if (data) reply = DdeArguments::DecodeReply(replyLayout, data->toStdString());
    Disconnect(conversation);
    return reply;
}

std::uint32_t CDDEObject::Activate(std::uint32_t windowId, std::uint32_t flags) {
    const auto reply = RunVerb(WWW_Activate, "DW,DW", {windowId, flags}, "DW");
    return reply ? std::get<std::uint32_t>(reply->at(0)) : 0;
}

CDDEObject::WindowInfo CDDEObject::GetWindowInfo(std::uint32_t windowId) {
    const auto reply = RunVerb(WWW_GetWindowInfo, "DW", {windowId}, "QCS,QCS");
    if (!reply) return {};
    return {std::get<std::string>(reply->at(0)), std::get<std::string>(reply->at(1))};
}

std::uint32_t CDDEObject::OpenURL(std::string_view address, const std::string& file, std::uint32_t windowId,
                                  std::uint32_t flags, const std::string& formData, const std::string& mimeType,
                                  const std::string& progressServer) {
    std::vector<DdeValue> arguments = {TextOrMissing(address), TextOrMissing(file),     windowId,
                                       flags,                  TextOrMissing(formData), TextOrMissing(mimeType),
                                       TextOrMissing(progressServer)};
    const auto reply = RunVerb(WWW_OpenURL, "QCS,QCS,DW,DW,QCS,QCS,CS", std::move(arguments), "DW");
    return reply ? std::get<std::uint32_t>(reply->at(0)) : 0;
}

}  // namespace tessarel::browser
