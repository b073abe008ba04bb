#pragma once

#include "dsp/FilterKind.h"

#include <type_traits>

namespace Dsp {

// The engines' loops are templates on their filter kind and on-off flags, so that each setting
// compiles to a loop without the branches of the others. WithConstants turns the settings of a
// call into one of those loops: it calls render with each runtime choice, in order, as a
// std::integral_constant (a FilterKind as FilterConstant, a bool as std::bool_constant), whose
// ::value names the instantiation:
//
//     Dsp::WithConstants([&](auto filter, auto cross) {
//         Render<decltype(filter)::value, decltype(cross)::value>(...);
//     }, settings.filter, settings.crossFeedback);
template <FilterKind kind>
using FilterConstant = std::integral_constant<FilterKind, kind>;

template <typename Render>
inline void WithConstants(Render&& render) noexcept;
template <typename Render, typename... Choices>
inline void WithConstants(Render&& render, bool flag, Choices... rest) noexcept;
template <typename Render, typename... Choices>
inline void WithConstants(Render&& render, FilterKind kind, Choices... rest) noexcept;

template <typename Render>
inline void WithConstants(Render&& render) noexcept
{
    render();
}

// Each step fixes the first remaining choice and leaves the rest to the next.
template <typename Render, typename... Choices>
inline void WithConstants(Render&& render, bool flag, Choices... rest) noexcept
{
    if (flag)
        WithConstants([&](auto... fixed) { render(std::true_type{}, fixed...); }, rest...);
    else
        WithConstants([&](auto... fixed) { render(std::false_type{}, fixed...); }, rest...);
}

template <typename Render, typename... Choices>
inline void WithConstants(Render&& render, FilterKind kind, Choices... rest) noexcept
{
    switch (kind) {
    case FilterKind::LowPass:
        WithConstants([&](auto... fixed) { render(FilterConstant<FilterKind::LowPass>{}, fixed...); }, rest...);
        break;
    case FilterKind::HighPass:
        WithConstants([&](auto... fixed) { render(FilterConstant<FilterKind::HighPass>{}, fixed...); }, rest...);
        break;
    case FilterKind::None:
    default:
        WithConstants([&](auto... fixed) { render(FilterConstant<FilterKind::None>{}, fixed...); }, rest...);
        break;
    }
}

} // namespace Dsp
