#pragma once
// Cards whose passwords look like people's, for the password tools' benchmarks: one in five
// reused, lengths 6 to 24, words, digits and random characters mixed, all in the categories that
// keep a password.
#include <random>
#include <string>

#include "cardstore/CCardFileData.h"

namespace tessarel::bench {

std::string MadeUpPassword(std::mt19937& random);
// Places `count` such cards in `data`, the same ones on every call.
void FillCards(CCardFileData& data, int count);

}  // namespace tessarel::bench
