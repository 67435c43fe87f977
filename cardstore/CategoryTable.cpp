#include "CategoryTable.h"

#include <utility>

namespace tessarel {

const std::array<CategoryInfo, kCategoryCount> kCategories = {{
    {"WWW Sites", {"Name:", "URL:", "User ID:", "Password:"}},
    {"WWW Forms", {"Name:", "URL:", "User ID:", "Password:"}},
    {"FTP Servers", {"Name:", "URL:", "User ID:", "Password:"}},
    {"Newsgroups", {"Name:", "URL:", "User ID:", "Password:"}},
    {"E-Mail Contacts", {"Name:", "URL:", "N/A:", "N/A:"}},
    {"Login Accounts", {"Name:", "Host:", "Login:", "Password:"}},
    {"POP Accounts", {"Full Name:", "POP Server:", "UserID:", "Password:"}},
    {"Bank Accounts", {"Bank:", "Branch Number:", "Account Holder:", "Account Number:"}},
    {"Credit Cards", {"Name/Type:", "Exp. Date:", "Number:", "PIN Code:"}},
    {"ATM/PIN Cards", {"Name:", "Bank:", "Telephone Number:", "ATM/PIN Code:"}},
    {"Personal Data", {"Person:", "Type of Data:", "Date/Place Issued:", "Number:"}},
    {"Software Keys", {"Product:", "Home Page:", "Licensed To:", "Software Key:"}},
    {"Serial Numbers", {"Name:", "Home Page:", "Other:", "Number:"}},
    {"Membership Numbers", {"Organisation:", "Home Page:", "Name:", "Number:"}},
    {"Miscellaneous", {"Name:", "Home Page:", "Description:", "Password:"}},
}};

const FieldLabels kDeletedListLabels = {"Field_1", "Field_2", "Field_3", "Field_4"};

const std::array<std::string_view, 17> kFrameCategoryNames = {
    "WWW Pages",     "WWW Sites",      "WWW Forms",      "FTP Servers",      "Newsgroups",         "E-Mail Contacts",
    "POP Accounts",  "Login Accounts", "Bank Accounts",  "Software Keys",    "Credit Cards",       "ATM/PIN Cards",
    "Serial Numbers", "Password Manager", "Personal Data", "Membership Numbers", "Miscellaneous",
};

std::string_view CategoryName(int code) {
    if (code < 0 || code >= kCategoryCount) return {};
    return kCategories[static_cast<std::size_t>(code)].name;
}

std::optional<int> CategoryCodeOfName(std::string_view name) {
    for (int code = 0; code < kCategoryCount; ++code) {
        if (kCategories[static_cast<std::size_t>(code)].name == name) return code;
    }
    return std::nullopt;
}

std::optional<int> LegacyCategoryCode(std::string_view categoryText) {
    // Older files named the first category "WWW Pages" and had no "WWW Forms".
    static constexpr std::pair<std::string_view, int> kLegacy[] = {
        {"WWW Pages", 0},       {"FTP Servers", 2},      {"Newsgroups", 3},     {"E-Mail Contacts", 4},
        {"Login Accounts", 5},  {"POP Accounts", 6},     {"Bank Accounts", 7},  {"Credit Cards", 8},
        {"ATM/PIN Cards", 9},   {"Personal Data", 10},   {"Software Keys", 11}, {"Serial Numbers", 12},
        {"Membership Numbers", 13},
    };
    if (categoryText.empty()) return kMiscellaneousCode;
    for (const auto& [text, code] : kLegacy) {
        if (text == categoryText) return code;
    }
    return std::nullopt;
}

}  // namespace tessarel
