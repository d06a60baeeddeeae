// A save killed at any moment never loses an article file: a child process saves the
// store in a loop and is killed with SIGKILL at random moments; every file must then be
// one whole save, old or new.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "StoreTestUtil.h"
#include "catalogue/core/ItemsFile.h"
#include "platform/core/FileUtil.h"

static const int kFeeds = 12;
static const int kArticles = 60;

// Fills every feed with kArticles articles of one generation.
static void FillGeneration(int generation) {
    for (Rss& feed : RssList) {
        feed.Items.Clear();
        for (int k = 0; k < kArticles; ++k) {
            Item item;
            item.Title = "gen " + std::to_string(generation) + " article " + std::to_string(k);
            item.Description = std::string(700 + 37 * k, 'x') + "\r\nend";
            item.Views = generation;
            Item_AddTo(feed, item, 1);
        }
    }
}

TEST_F(StoreTest, ASaveKilledAtRandomMomentsNeverLosesAnArticleFile) {
    for (int f = 0; f < kFeeds; ++f)
        AddFeed("Feed " + std::to_string(f), "https://f" + std::to_string(f) + ".example/",
                "f" + std::to_string(f) + ".Txt", 10001 + f);
    FillGeneration(0);
    ASSERT_EQ(Feed_Save(), 0);

    std::mt19937 random(12345);
    int roundsWithNewSaves = 0;
    for (int round = 0; round < 12; ++round) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Save new generations until killed; tell the parent after the first one.
            close(pipeFds[0]);
            for (int generation = 1;; ++generation) {
                FillGeneration(round * 100000 + generation);
                Feed_Save();
                if (generation == 1 && write(pipeFds[1], "s", 1) != 1) _exit(3);
            }
        }
        close(pipeFds[1]);
        char saved = 0;
        ASSERT_EQ(read(pipeFds[0], &saved, 1), 1); // one whole save is on disk
        close(pipeFds[0]);
        usleep(random() % 40000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        bool newSave = false;
        for (int f = 0; f < kFeeds; ++f) {
            const std::string name = "f" + std::to_string(f) + ".Txt";
            ASSERT_GT(File_Size("Feeds/" + name), 0) << name << " round " << round;
            Rss probe;
            probe.ItemsFileName = name;
            probe.Url = "https://probe.example/";
            ASSERT_EQ(Feed_ReadItems(probe), kArticles) << name << " round " << round;
            const int generation = probe.Items.begin()->Views;
            if (generation >= round * 100000 + 1) newSave = true;
            for (const Item& item : probe.Items)
                ASSERT_EQ(item.Views, generation) << name << " mixes two saves";
            EXPECT_EQ(probe.Items.Raw().back().Description.substr(700 + 37 * (kArticles - 1)),
                      "\nend");
        }
        roundsWithNewSaves += newSave;
    }
    EXPECT_EQ(roundsWithNewSaves, 12); // the child's saves really reached the disk
}
