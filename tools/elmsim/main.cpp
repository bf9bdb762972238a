// elmsim: an ELM327 adapter simulator on loopback TCP for trying Norvale without a car.
//   elmsim --port N     (0 picks a free port)
//   elmsim --profile idle|cruise|city|hot|speeding|drag|dragrun|lap   (how the car is driven; a moving drive by default)
//   elmsim --codes P0301,P0420 --pending P0171 --permanent P0420   (the engine's trouble codes)
//   elmsim --turbo      (a turbocharged engine: boost above the barometer under load)
//   elmsim --reply-ms N (time each reply takes, give or take a quarter; 40 by default, as a Wi-Fi adapter
//                        on a car takes; 0 answers at once, for tests that want speed)
//   elmsim --short-reply REQUEST   (the replies to requests beginning REQUEST lose their last byte:
//                        "--codes P0071 --short-reply 0202" answers the freeze frame's code with 42 02 00 00)
// Prints "listening on 127.0.0.1:PORT", then each request it receives. Ctrl-C stops it.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "elmsim/lib/Simulator.h"

namespace {

// "P0301,P0420" as its codes; nothing when one is not a letter P, C, B or U and four hex digits.
std::optional<std::vector<std::string>> codeList(const std::string& text)
{
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const std::string code = text.substr(start, end - start);
        const bool valid = code.size() == 5 && std::string("PCBU").find(code[0]) != std::string::npos &&
                           code.find_first_not_of("0123456789ABCDEFabcdef", 1) == std::string::npos;
        if (!valid)
            return std::nullopt;
        codes.push_back(code);
        start = end + 1;
    }
    return codes;
}

}  // namespace

int main(int argc, char** argv)
{
    long port = 35000;
    elmsim::Profile profile = elmsim::Profile::drive;
    std::vector<std::string> lists[3];  // stored, pending, permanent
    const char* const listOptions[3] = {"--codes", "--pending", "--permanent"};
    bool turbo = false;
    long replyMilliseconds = 40;
    std::string shortReplies;  // requests whose replies lose their last byte
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            char* end = nullptr;
            port = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || port < 0 || port > 65535) {
                std::fprintf(stderr, "elmsim: bad port \"%s\"\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--reply-ms") == 0 && i + 1 < argc) {
            char* end = nullptr;
            replyMilliseconds = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || end == argv[i] || replyMilliseconds < 0 || replyMilliseconds > 10000) {
                std::fprintf(stderr, "elmsim: bad reply time \"%s\" (milliseconds, 0 to 10000)\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--short-reply") == 0 && i + 1 < argc) {
            shortReplies = argv[++i];
        } else if (std::strcmp(argv[i], "--turbo") == 0) {
            turbo = true;
        } else if (std::strcmp(argv[i], "--profile") == 0 && i + 1 < argc) {
            const auto named = elmsim::profileNamed(argv[++i]);
            if (!named) {
                std::fprintf(stderr, "elmsim: unknown profile \"%s\" (idle, cruise, city, hot, speeding, drag, dragrun, lap)\n",
                             argv[i]);
                return 2;
            }
            profile = *named;
        } else if (const auto* option = std::find_if(std::begin(listOptions), std::end(listOptions),
                                                     [&](const char* o) { return std::strcmp(argv[i], o) == 0; });
                   option != std::end(listOptions) && i + 1 < argc) {
            const auto codes = codeList(argv[++i]);
            if (!codes) {
                std::fprintf(stderr, "elmsim: bad trouble codes \"%s\" (such as P0301,P0420)\n", argv[i]);
                return 2;
            }
            lists[option - std::begin(listOptions)] = *codes;
        } else {
            std::fprintf(stderr,
                         "usage: elmsim [--port N] [--profile idle|cruise|city|hot|speeding|drag|dragrun|lap] [--turbo]\n"
                         "              [--codes LIST] [--pending LIST] [--permanent LIST] [--reply-ms N]\n"
                         "              [--short-reply REQUEST]\n");
            return 2;
        }
    }

    // The signals are taken synchronously below, so the simulator's thread must not get them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    elmsim::Simulator simulator;
    simulator.updateCar([&](elmsim::CarState& car) {
        car.profile = profile;
        car.turbo = turbo;
        car.storedCodes = lists[0];
        car.pendingCodes = lists[1];
        car.permanentCodes = lists[2];
    });
    if (!shortReplies.empty())
        simulator.injectFault(elmsim::Fault::OddBytes, -1, shortReplies);
    const double replySeconds = static_cast<double>(replyMilliseconds) / 1000.0;
    simulator.setLatency(replySeconds, replySeconds / 4);
    simulator.setRequestObserver([](const std::string& request) {
        std::printf("%s\n", request.c_str());
        std::fflush(stdout);
    });
    const std::uint16_t chosen = simulator.start(static_cast<std::uint16_t>(port));
    if (chosen == 0) {
        std::fprintf(stderr, "elmsim: cannot listen on 127.0.0.1:%ld: %s\n", port, std::strerror(errno));
        return 1;
    }
    std::printf("listening on 127.0.0.1:%u\n", chosen);
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    simulator.stop();
    return 0;
}
