// elmsim: an ELM327 adapter simulator on loopback TCP for trying Norvale without a car.
//   elmsim --port N     (0 picks a free port)
//   elmsim --profile idle|cruise|city|hot|speeding|drag   (how the car is driven; a moving drive by default)
// Prints "listening on 127.0.0.1:PORT", then each request it receives. Ctrl-C stops it.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "elmsim/lib/Simulator.h"

int main(int argc, char** argv)
{
    long port = 35000;
    elmsim::Profile profile = elmsim::Profile::drive;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            char* end = nullptr;
            port = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || port < 0 || port > 65535) {
                std::fprintf(stderr, "elmsim: bad port \"%s\"\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--profile") == 0 && i + 1 < argc) {
            const auto named = elmsim::profileNamed(argv[++i]);
            if (!named) {
                std::fprintf(stderr, "elmsim: unknown profile \"%s\" (idle, cruise, city, hot, speeding, drag)\n",
                             argv[i]);
                return 2;
            }
            profile = *named;
        } else {
            std::fprintf(stderr, "usage: elmsim [--port N] [--profile idle|cruise|city|hot|speeding|drag]\n");
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
    simulator.updateCar([profile](elmsim::CarState& car) { car.profile = profile; });
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
