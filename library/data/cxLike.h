// LIKE patterns: a percent wildcard stands for any run of characters, an
// underscore wildcard for exactly one; the caller chooses both characters.
#pragma once

#include <string_view>

#include "platform/rtl/Types.h"

// Kept in a namespace of its own: the filter's LIKE operator class has the
// same name.
namespace cxLike {
enum TcxFilterLikeOperator { floLike, floBeginsWith, floEndsWith, floContains };
}
using cxLike::floBeginsWith;
using cxLike::floContains;
using cxLike::floEndsWith;
using cxLike::floLike;

// Byte-exact (case-sensitive) match of AStr against APattern. A percent
// wildcard that is followed by more pattern needs at least one value
// character where it stands, so "%%" does not match "" and "a%%" does not
// match "a". Runs in O(length of AStr x length of APattern) at worst.
bool LikeStr(std::string_view AStr, std::string_view APattern, char APercentWildcard = '%',
             char AUnderscoreWildcard = '_');

// The shape the pattern expresses ("ab%" begins with, "%ab" ends with,
// "%ab%" contains), with the implied outer wildcards removed from
// APattern. Runs of wildcards collapse to one first.
cxLike::TcxFilterLikeOperator LikeOperatorByPattern(AnsiString& APattern, char APercentWildcard = '%');
