// How a failing test shows glm values: vectors as (x, y, z) and matrices column
// by column, as numbers rather than gtest's raw bytes. Every test that compares
// glm values includes this, so gtest finds the same printer in every file.
#pragma once

#include <ostream>

#include <glm/glm.hpp>

namespace glm {

template <length_t L, typename T, qualifier Q>
void PrintTo(const vec<L, T, Q>& v, std::ostream* os) {
    *os << '(';
    for (length_t i = 0; i < L; ++i) *os << (i > 0 ? ", " : "") << +v[i];  // + shows bytes as numbers
    *os << ')';
}

template <length_t C, length_t R, typename T, qualifier Q>
void PrintTo(const mat<C, R, T, Q>& m, std::ostream* os) {
    *os << "columns ";
    for (length_t c = 0; c < C; ++c) PrintTo(m[c], os);
}

}  // namespace glm
