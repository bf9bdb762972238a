#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/PhotoAlbum.h"
#include "platform/ui/Context.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    bool done = false;
    bool onMain = false;
    std::optional<fs::path> saved;
    std::string error;

    media::PhotoAlbum::Completion completion()
    {
        return [this](const std::optional<fs::path>& file, const std::string& message) {
            done = true;
            onMain = fnd::RunLoop::main().isMainThread();
            saved = file;
            error = message;
        };
    }
    void wait()
    {
        ASSERT_TRUE(fnd::RunLoop::main().runUntil([this] { return done; }));
    }
};

ui::Image redSquare()
{
    ui::BitmapContext context({20, 20});
    context.setFillColor(ui::Color::red());
    context.fillRect(ui::makeRect(0, 0, 20, 20));
    return context.makeImage();
}

TEST(PhotoAlbum, ImagesGetNamesOfTheirOwn)
{
    const fs::path home = testsupport::freshDocuments().parent_path();
    EXPECT_EQ(media::PhotoAlbum::picturesFolder(), home / "Pictures" / "Norvale");

    Result first;
    Result second;
    media::PhotoAlbum::saveImage(redSquare(), first.completion());
    media::PhotoAlbum::saveImage(redSquare(), second.completion());
    first.wait();
    second.wait();
    ASSERT_TRUE(first.saved && second.saved) << first.error << second.error;
    EXPECT_TRUE(first.onMain);
    EXPECT_NE(*first.saved, *second.saved) << "the same second, two files";
    EXPECT_EQ(first.saved->parent_path(), media::PhotoAlbum::picturesFolder());
    EXPECT_EQ(first.saved->extension(), ".png");
    EXPECT_EQ(first.saved->filename().string().rfind("Norvale ", 0), 0u);
    const auto back = ui::Image::fromFile(*second.saved);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->pixelWidth(), 20);
    EXPECT_GT(back->pixel(10, 10).r, 0.9);
    for (const auto& entry : fs::directory_iterator(media::PhotoAlbum::picturesFolder()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << "no temporary file left behind";

    Result empty;
    media::PhotoAlbum::saveImage(ui::Image(), empty.completion());
    empty.wait();
    EXPECT_FALSE(empty.saved);
    EXPECT_FALSE(empty.error.empty());
}

TEST(PhotoAlbum, MoviesAreCopiedAndTheSourceStays)
{
    const fs::path documents = testsupport::freshDocuments();
    const fs::path movie = documents / "Movie.m4v";
    const std::string bytes(300000, 'm');
    ASSERT_TRUE(fnd::writeFileAtomically(movie, bytes));

    Result copies[3];
    for (auto& copy : copies)
        media::PhotoAlbum::saveVideo(movie, copy.completion());
    for (auto& copy : copies) {
        copy.wait();
        ASSERT_TRUE(copy.saved) << copy.error;
        EXPECT_EQ(copy.saved->parent_path(), media::PhotoAlbum::videosFolder());
        EXPECT_EQ(copy.saved->extension(), ".m4v");
        EXPECT_EQ(fnd::readFile(*copy.saved), bytes);
    }
    EXPECT_NE(copies[0].saved, copies[1].saved);
    EXPECT_NE(copies[1].saved, copies[2].saved);
    EXPECT_EQ(fnd::readFile(movie), bytes) << "the source stays where it was";

    Result missing;
    media::PhotoAlbum::saveVideo(documents / "none.m4v", missing.completion());
    missing.wait();
    EXPECT_FALSE(missing.saved);
    EXPECT_NE(missing.error.find("none.m4v"), std::string::npos);
}

TEST(PhotoAlbum, WithoutANorvaleHomeTheDesktopFoldersAreUsed)
{
    const fs::path fake = testsupport::freshDocuments().parent_path() / "user";
    fs::create_directories(fake / ".config");
    std::ofstream(fake / ".config" / "user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfigValue = savedConfig != nullptr ? savedConfig : "";
    ::setenv("HOME", fake.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("NORVALE_HOME");
    const fs::path pictures = media::PhotoAlbum::picturesFolder();
    const fs::path videos = media::PhotoAlbum::videosFolder();
    ::setenv("HOME", savedHome.c_str(), 1);
    if (savedConfig != nullptr)
        ::setenv("XDG_CONFIG_HOME", savedConfigValue.c_str(), 1);
    EXPECT_EQ(pictures, fake / "Bilder" / "Norvale");
    EXPECT_EQ(videos, fake / "Videos" / "Norvale") << "not in the file: the usual folder";
}

}  // namespace
