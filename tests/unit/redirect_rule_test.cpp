#include "redirect_rule.h"

#include <gtest/gtest.h>

namespace {

TEST(RedirectRule, RefusesOnlyHttpsToHttp) {
    const struct {
        const char* from;
        const char* to;
        bool refused;
    } cases[] = {
        {"https://example.com/a", "http://example.com/b", true},
        {"HTTPS://example.com/", "Http://example.com/", true},
        {"https://example.com/", "https://example.com/b", false},
        {"http://example.com/", "https://example.com/", false},
        {"http://example.com/", "http://example.com/b", false},
        {"https://example.com/", "ftp://example.com/", false},
        {"https://example.com/", "httpx://example.com/", false},
        {"httpsx://example.com/", "http://example.com/", false},
        {"https:", "http:", true},
        {"", "http://example.com/", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.refused, core::RefusesRedirect(c.from, c.to)) << c.from << " -> " << c.to;
}

}  // namespace
