// The help pages' Markdown, compiled in from src/ui/help/*.md by the build
// (help/embed_help.cmake). Use help_topics.h rather than these directly.
#pragma once

#include <string_view>

namespace korund::ui::help_pages {

extern const std::string_view kOverview;
extern const std::string_view kWeibull;
extern const std::string_view kDynamic;
extern const std::string_view kStatic;
extern const std::string_view kLifetime;

}  // namespace korund::ui::help_pages
