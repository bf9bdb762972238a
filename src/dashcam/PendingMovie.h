#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The dash camera's movie is pending, marked by a file beside it, from the start of its
// recording until it is in the album. Written in fragments, a movie cut short (the program
// killed, the power lost, the disk full) still plays to its last whole fragment: one left
// pending is saved to the album as it is rather than replaced by the next recording. A movie
// cut before its first frame plays nothing and is dropped instead. One that must make room for
// a new recording before the album took it is moved aside under a dated name, pending there
// until the album has it.
class PendingMovie {
public:
    explicit PendingMovie(std::filesystem::path movie);

    const std::filesystem::path& movie() const { return movie_; }

    void recordingStarted() const;
    // The movie is still pending (an earlier run or recording left it, or its copy failed).
    bool isLeft() const;
    // Tells on the main thread whether the movie holds at least one frame; nullopt when that cannot
    // be told. The file is read off the main thread, where the media module is loaded if need be.
    void hasFrames(std::function<void(std::optional<bool> frames)> told) const;
    // Copies the movie to the album; only a copy that is made ends its pending. `done` runs on the
    // main thread with whether it was saved and, when not, why.
    void saveToAlbum(std::function<void(bool saved, const std::string& error)> done) const;
    // As saveToAlbum, and once in the album the movie is removed: one set aside was kept for it alone.
    void moveToAlbum(std::function<void(bool saved, const std::string& error)> done) const;
    // Ends the pending without a copy.
    void settle() const;
    // Ends the pending of a movie with nothing to see, and removes it.
    void discard() const;
    // Moves the movie beside itself under a dated name ("Movie 2024-05-01 12.34.56.m4v"), pending
    // there. The movie aside; nullopt, and `error` says why, when it could not be moved.
    std::optional<PendingMovie> moveAside(std::string& error) const;
    // The movies moved aside whose pending has not ended.
    std::vector<PendingMovie> movedAside() const;

private:
    bool mark() const;
    void copyToAlbum(bool removeWhenSaved, std::function<void(bool saved, const std::string& error)> done) const;

    std::filesystem::path movie_;
    std::filesystem::path marker_;
};
