#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The desktop's mail hand-off for tests: an `xdg-email` first on PATH that records the arguments it gets
// and passes them to the real xdg-email, which checks them as it always does (refusing an option with an
// empty text, a missing attachment...). The real one then gives the mailto address to its hook, here a
// stand-in for the mail client that records it and opens or fails as the test says. PATH is restored
// when this goes.
namespace testsupport {

class FakeMailClient {
public:
    FakeMailClient();
    ~FakeMailClient();
    FakeMailClient(const FakeMailClient&) = delete;
    FakeMailClient& operator=(const FakeMailClient&) = delete;

    // False when no real xdg-email was found to check the arguments.
    bool usable() const { return !real_.empty(); }
    // Whether the stand-in mail client opens (exit 0) or fails.
    void setClientOpens(bool opens);
    // How many bytes the stand-in mail client writes on its error output (none at first).
    void setClientErrorOutput(std::size_t bytes);
    // The arguments of each xdg-email call, in order.
    std::vector<std::vector<std::string>> calls() const;
    // The mailto addresses the mail client was given.
    std::vector<std::string> opened() const;

    // PATH without xdg-email at all, until this goes.
    class Missing {
    public:
        Missing();
        ~Missing();
        Missing(const Missing&) = delete;
        Missing& operator=(const Missing&) = delete;

    private:
        std::string path_;
        std::filesystem::path folder_;
    };

private:
    std::filesystem::path folder_;
    std::filesystem::path real_;
    std::string path_;
};

}  // namespace testsupport
