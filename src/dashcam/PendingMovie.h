#pragma once

#include <filesystem>
#include <functional>

// The dash camera's movie is pending, marked by a file beside it, from the start of its
// recording until it is in the album. Written in fragments, a movie cut short (the program
// killed, the power lost) still plays to its last whole fragment: one an earlier run left
// pending is saved to the album as it is rather than replaced by the next recording.
class PendingMovie {
public:
    explicit PendingMovie(std::filesystem::path movie);

    void recordingStarted() const;
    // An earlier run left the movie pending.
    bool isLeft() const;
    // Copies the movie to the album and ends its pending; `done` runs on the main thread with
    // whether it was saved (a failure is logged).
    void saveToAlbum(std::function<void(bool saved)> done) const;
    // Ends the pending without a copy (the movie could not be recorded).
    void settle() const;

private:
    std::filesystem::path movie_;
    std::filesystem::path marker_;
};
