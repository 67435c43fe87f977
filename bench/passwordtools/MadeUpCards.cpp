#include "MadeUpCards.h"

#include <memory>
#include <vector>

namespace tessarel::bench {

std::string MadeUpPassword(std::mt19937& random) {
    static const char* const kWords[] = {"sun", "Shine", "dragon", "Monkey", "secret", "winter", "Summer", "pass", "tiger", "blue"};
    static const std::string kChars = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789!#$%&*+-=?@";
    std::string password;
    switch (random() % 3) {
        case 0:  // a word or two and a number
            password = std::string(kWords[random() % 10]) + kWords[random() % 10] + std::to_string(random() % 10000);
            break;
        default: {  // random characters, as a generator makes them
            const std::size_t length = 6 + random() % 19;
            for (std::size_t i = 0; i < length; ++i) password += kChars[random() % kChars.size()];
        }
    }
    return password;
}

void FillCards(CCardFileData& data, int count) {
    std::mt19937 random(17);
    std::vector<std::string> passwords;
    for (int i = 0; i < count; ++i) {
        const bool reuse = !passwords.empty() && random() % 5 == 0;
        std::string password = reuse ? passwords[random() % passwords.size()] : MadeUpPassword(random);
        if (!reuse) passwords.push_back(password);
        auto card = std::make_unique<CCard>();
        card->SetTexts("card " + std::to_string(i), "https://site" + std::to_string(i) + ".example/", "user" + std::to_string(i % 977),
                       password, "", "", "");
        // Only the categories that keep a password.
        static const int kCodes[] = {0, 1, 2, 3, 5, 6, 14};
        card->SetCategoryCode(static_cast<std::uint8_t>(kCodes[i % 7]));
        card->SetModified(3'800'000'000u + static_cast<std::uint32_t>(random() % 100'000'000u));
        data.PlaceCard(std::move(card));
    }
}

}  // namespace tessarel::bench
