// The soak answers file dialogs with real and bogus paths, and never with one outside its own
// working directory.
#include "soak/soak_files.h"

#include <filesystem>
#include <set>

#include "../support/working_directory.h"
#include "platform/ui_constants.h"

namespace {

namespace fs = std::filesystem;
using korvel::soak::SoakFiles;
using korvel::soak::SoakRandom;

TEST(SoakFiles, EveryAnswerStaysInsideTheWorkingDirectoryAndAllKindsComeUp) {
    korvel::testing::FreshWorkingDirectory work;
    work.enter();
    const fs::path dir = fs::current_path();
    SoakFiles files(dir.string());
    SoakRandom random(7);
    files.refresh(random);

    std::set<std::string> names;
    int cancelled = 0, existing = 0, fresh = 0;
    for (int i = 0; i < 2000; ++i) {
        const auto a = files.answer({}, random);
        if (a.result == VAL_NO_FILE_SELECTED) {
            ++cancelled;
            continue;
        }
        (a.result == VAL_EXISTING_FILE_SELECTED ? existing : fresh)++;
        const fs::path p = fs::path(a.path).is_absolute() ? fs::path(a.path) : dir / a.path;
        const fs::path inside = p.lexically_normal().lexically_relative(dir);
        ASSERT_FALSE(inside.empty()) << a.path;
        ASSERT_NE(*inside.begin(), "..") << a.path;
        names.insert(inside.string());
    }
    EXPECT_GT(cancelled, 0);
    EXPECT_GT(existing, 0);
    EXPECT_GT(fresh, 0);
    for (const char* n : {"pattern.txt", "mask.txt", "configuration.txt", "settings.cfg",
                          "garbage.bin", "empty.txt", "folder", "not_there.txt", "no_folder/x.txt"})
        EXPECT_EQ(names.count(n), 1u) << n;
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_TRUE(fs::is_regular_file(dir / "pattern.txt"));
    EXPECT_FALSE(fs::exists(dir / "no_folder"));
}

}  // namespace
