// Each scene takes a fixed number of draws from the one random sequence.
#include "fixture.h"

#include <cstdlib>

TEST_F(SceneTest, ScenesLeaveTheRandomSequenceWhereTheirDrawCountsSay)
{
    struct Case {
        const char *scene;
        void (*run)();
        long draws;
    };
    const Case cases[] = {
        {"scene_gaar", scene_gaar, 448},
        {"scene_etesopp", scene_etesopp, 300000},
        {"scene_landskapsbilde", scene_landskapsbilde, 0},
        {"scene_zoom", scene_zoom, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scene);
        SetUp();
        c.run();
        const int next = rand();

        srand(1);
        for (long i = 0; i < c.draws; ++i)
            __real_rand();
        EXPECT_EQ(next, __real_rand());
        EXPECT_EQ(static_cast<long>(rec().draws.size()), c.draws + 1);
    }
}
