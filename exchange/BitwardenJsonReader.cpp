#include "BitwardenJsonReader.h"

#include <cstdio>
#include <map>

#include "ExchangeTime.h"
#include "JsonValue.h"
#include "cardstore/CategoryTable.h"

namespace tessarel {
namespace {

constexpr int kLogin = 1, kSecureNote = 2, kCard = 3, kIdentity = 4;
constexpr int kCreditCardsCode = 8, kPersonalDataCode = 10;

struct Refusal {
    std::string text;
};

SecureString Joined(std::initializer_list<SecureString> parts, std::string_view separator) {
    SecureString out;
    for (const auto& part : parts) {
        if (part.empty()) continue;
        if (!out.empty()) out += separator;
        out += part;
    }
    return out;
}

// The custom fields of an item, labelled with their names; boolean fields as "true"/"false".
void AddCustomFields(const JsonValue& item, std::vector<std::pair<std::string, SecureString>>& extras) {
    const JsonValue* fields = item.Find("fields");
    if (!fields || !fields->IsArray()) return;
    for (const auto& field : fields->Items()) {
        if (!field.IsObject()) continue;
        std::string name(field.StringOf("name"));
        if (name.empty()) name = "Field";
        const JsonValue* value = field.Find("value");
        if (value && value->IsBool()) extras.emplace_back(name, value->AsBool() ? "true" : "false");
        else extras.emplace_back(name, field.StringOf("value"));
    }
}

ImportedCard FromNoteParts(int code, std::array<SecureString, 4> fields, const SecureString& group, const JsonValue& item,
                           std::vector<std::pair<std::string, SecureString>> extras) {
    ImportedCard card;
    card.categoryCode = code;
    card.fields = std::move(fields);
    ImportNoteBuilder note;
    note.SetGroup(group);
    note.SetNotes(item.StringOf("notes"));
    for (const auto& [label, value] : extras) note.AddLabelled(label, value);
    card.note = note.Build();
    return card;
}

ImportedCard LoginItem(const JsonValue& item, const SecureString& group) {
    LoginEntry entry;
    entry.group = group;
    entry.title = item.StringOf("name");
    entry.notes = item.StringOf("notes");
    if (const JsonValue* login = item.Find("login"); login && login->IsObject()) {
        entry.username = login->StringOf("username");
        entry.password = login->StringOf("password");
        if (const JsonValue* uris = login->Find("uris"); uris && uris->IsArray()) {
            int number = 0;
            for (const auto& uri : uris->Items()) {
                if (!uri.IsObject() || uri.StringOf("uri").empty()) continue;
                if (++number == 1) entry.url = uri.StringOf("uri");
                else entry.extras.emplace_back("URL " + std::to_string(number), uri.StringOf("uri"));
            }
        }
        entry.extras.emplace_back("TOTP", login->StringOf("totp"));
    }
    AddCustomFields(item, entry.extras);
    return LoginCard(entry);
}

ImportedCard CardItem(const JsonValue& item, const SecureString& group) {
    static const JsonValue kNone;
    const JsonValue* card = item.Find("card");
    if (!card || !card->IsObject()) card = &kNone;
    const SecureString expiry = Joined({card->StringOf("expMonth"), card->StringOf("expYear")}, "/");
    std::vector<std::pair<std::string, SecureString>> extras = {{"Cardholder", card->StringOf("cardholderName")},
                                                                {"Brand", card->StringOf("brand")}};
    AddCustomFields(item, extras);
    // The security code is the card's secret, so it takes the masked fourth field.
    return FromNoteParts(kCreditCardsCode, {item.StringOf("name"), expiry, card->StringOf("number"), card->StringOf("code")}, group, item,
                         std::move(extras));
}

ImportedCard IdentityItem(const JsonValue& item, const SecureString& group) {
    static const JsonValue kNone;
    const JsonValue* id = item.Find("identity");
    if (!id || !id->IsObject()) id = &kNone;
    std::vector<std::pair<std::string, SecureString>> extras = {
        {"Name", Joined({id->StringOf("title"), id->StringOf("firstName"), id->StringOf("middleName"), id->StringOf("lastName")}, " ")},
        {"Company", id->StringOf("company")},
        {"Email", id->StringOf("email")},
        {"Phone", id->StringOf("phone")},
        {"Address", Joined({id->StringOf("address1"), id->StringOf("address2"), id->StringOf("address3")}, ", ")},
        {"City", id->StringOf("city")},
        {"State", id->StringOf("state")},
        {"Postal code", id->StringOf("postalCode")},
        {"Country", id->StringOf("country")},
        {"Username", id->StringOf("username")},
        {"SSN", id->StringOf("ssn")},
        {"Passport number", id->StringOf("passportNumber")},
        {"License number", id->StringOf("licenseNumber")},
    };
    AddCustomFields(item, extras);
    return FromNoteParts(kPersonalDataCode, {item.StringOf("name"), "Identity", "", ""}, group, item, std::move(extras));
}

// Any number as the JSON text would plausibly have written it (no cast that could overflow).
std::string NumberText(double number) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", number);
    return text;
}

std::map<std::string, SecureString> Folders(const JsonValue& top) {
    std::map<std::string, SecureString> folders;
    const JsonValue* list = top.Find("folders");
    if (!list) return folders;
    if (!list->IsArray()) throw Refusal{"\"folders\" must be an array."};
    for (const auto& folder : list->Items()) {
        if (folder.IsObject()) folders[std::string(folder.StringOf("id"))] = folder.StringOf("name");
    }
    return folders;
}

ImportedCard ItemCard(const JsonValue& item, std::size_t index, const std::map<std::string, SecureString>& folders) {
    const std::string origin = "items[" + std::to_string(index) + "]";
    if (!item.IsObject()) throw Refusal{origin + " must be an object."};
    const JsonValue* type = item.Find("type");
    if (!type || !type->IsNumber()) throw Refusal{origin + " has no numeric \"type\"."};
    SecureString group;
    if (const auto folder = folders.find(std::string(item.StringOf("folderId"))); folder != folders.end()) group = folder->second;
    ImportedCard card;
    const double kind = type->AsNumber();
    if (kind == kLogin) card = LoginItem(item, group);
    else if (kind == kSecureNote) card = FromNoteParts(kMiscellaneousCode, {item.StringOf("name"), "", "", ""}, group, item, [&] {
        std::vector<std::pair<std::string, SecureString>> extras;
        AddCustomFields(item, extras);
        return extras;
    }());
    else if (kind == kCard) card = CardItem(item, group);
    else if (kind == kIdentity) card = IdentityItem(item, group);
    else throw Refusal{origin + " has the type " + NumberText(kind) + ", which is none of login (1), secure note (2), card (3) and identity (4)."};
    card.origin = origin;
    card.modifiedUtc = ParseIsoDateTime(item.StringOf("revisionDate"));
    return card;
}

}  // namespace

ImportRead ReadBitwardenJson(std::string_view text) {
    ImportRead read;
    std::string parseError;
    const auto top = JsonValue::Parse(text, parseError);
    if (!top) {
        read.error = "not valid JSON: " + parseError + ".";
        return read;
    }
    try {
        if (!top->IsObject()) throw Refusal{"the top level must be an object."};
        if (const JsonValue* encrypted = top->Find("encrypted"); encrypted && encrypted->IsBool() && encrypted->AsBool()) {
            throw Refusal{"this is an encrypted Bitwarden export; export the vault again as unencrypted JSON."};
        }
        const JsonValue* items = top->Find("items");
        if (!items || !items->IsArray()) throw Refusal{"\"items\" must be an array, as Bitwarden's JSON export has."};
        const auto folders = Folders(*top);
        for (std::size_t i = 0; i < items->Items().size(); ++i) read.cards.push_back(ItemCard(items->Items()[i], i, folders));
    } catch (const Refusal& refusal) {
        read.cards.clear();
        read.error = refusal.text;
    }
    return read;
}

}  // namespace tessarel
