#pragma once
// The groups of categories the card program's rules name, in one place. Each set belongs to one
// rule and says so; sets that look alike are kept apart on purpose, because the rules they serve
// differ (the New Card dialog offers the browser options for "WWW Forms", the field list does
// not). Change a set only with its rule.

#include <algorithm>
#include <array>
#include <string_view>

namespace tessarel::category_sets {

template <std::size_t N>
using Names = std::array<std::string_view, N>;

// The browser group: categories whose cards carry the two browser options as field list rows
// (Automatic Access, New Browser Window), toggled by a double click there, and whose card dialog
// opened from the field list offers them.
inline constexpr Names<4> kBrowserGroup = {"WWW Sites", "FTP Servers", "Newsgroups", "E-Mail Contacts"};

// New Card and Edit Card (the commands): the card dialog offers the two browser options.
inline constexpr Names<5> kCardCommandBrowserOptions = {"WWW Sites", "WWW Forms", "Password Manager", "FTP Servers",
                                                         "Miscellaneous"};

// Get Web Page: the categories the command takes a page into ("This command is not supported
// for this category." for any other).
inline constexpr Names<4> kGetWebPageCategories = {"WWW Sites", "Password Manager", "FTP Servers", "Software Keys"};

// Get Web Page: the card dialog it opens offers the two browser options.
inline constexpr Names<5> kGetWebPageBrowserOptions = {"WWW Sites", "Password Manager", "FTP Servers", "Newsgroups",
                                                        "E-Mail Contacts"};

// The card dialog's URL button: the second field is an address the button can edit.
inline constexpr Names<6> kUrlButtonCategories = {"WWW Sites",       "FTP Servers",      "Newsgroups",
                                                   "E-Mail Contacts", "Password Manager", "Login Accounts"};

// New Card: the second field starts with the address scheme of the category.
inline constexpr Names<2> kHttpPrefixCategories = {"WWW Sites", "Miscellaneous"};
inline constexpr Names<2> kFtpPrefixCategories = {"FTP Servers", "Newsgroups"};
inline constexpr Names<1> kTelnetPrefixCategories = {"Login Accounts"};

template <std::size_t N>
constexpr bool Contains(const Names<N>& set, std::string_view category) {
    return std::find(set.begin(), set.end(), category) != set.end();
}

// The text New Card puts in the second field of a card of `category` (empty for most).
constexpr std::string_view NewCardAddressPrefix(std::string_view category) {
    if (Contains(kHttpPrefixCategories, category)) return "http://";
    if (Contains(kFtpPrefixCategories, category)) return "ftp://";
    if (Contains(kTelnetPrefixCategories, category)) return "telnet://";
    return {};
}

}  // namespace tessarel::category_sets
