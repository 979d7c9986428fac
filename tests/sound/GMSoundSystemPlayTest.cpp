#include "SoundFixture.h"

// ---- PlayOnce and copies ----

TEST_F(SoundTest, PlayOnceOverlapsItselfAndReleasesTheCopyTheFrameAfterItEnds)
{
    MakeSound("Job.ogg", 100);
    SoundBuffer* job = Load("sfx\\Job.ogg");
    ASSERT_TRUE(m_sound.PlayOnce(job));
    EXPECT_TRUE(job->IsPlaying());
    EXPECT_EQ(m_sound.GetCopyCount(), 0);
    Advance(40);
    const int alone = Mix(10);  // 40..50 ms of the original alone
    // 50 ms is a whole number of periods of the 440 Hz tone: the copy starts in phase.
    ASSERT_TRUE(m_sound.PlayOnce(job));
    EXPECT_EQ(m_sound.GetCopyCount(), 1) << "a playing sound overlaps with a copy";
    EXPECT_EQ(job->GetPosition(), 50u * 441u / 10u) << "the original plays on undisturbed";
    const int both = Mix(10);
    EXPECT_GT(both, alone * 3 / 2) << "two copies in phase sound louder than one";
    m_sound.UpdateSounds(20);
    Advance(40);  // 100 ms: the original has ended, the copy (started at 50 ms) has not
    EXPECT_FALSE(job->IsPlaying());
    EXPECT_EQ(m_sound.GetCopyCount(), 1);
    Advance(40);  // 140 ms: 10 ms of the copy are left
    EXPECT_EQ(m_sound.GetCopyCount(), 1);
    Mix(10);  // the copy ends with the last sample of this frame's audio
    EXPECT_EQ(m_sound.GetCopyCount(), 1);
    m_sound.UpdateSounds(10);
    EXPECT_EQ(m_sound.GetCopyCount(), 0) << "released in the first update after it ended";
}

TEST_F(SoundTest, PlayOnceOfAStoppedSoundPlaysFromWhereItIs)
{
    MakeSound("a.ogg", 100);
    SoundBuffer* a = Load("sfx\\a.ogg");
    a->SetPosition(2000);
    EXPECT_TRUE(m_sound.PlayOnce(a));
    Mix(10);
    EXPECT_EQ(a->GetPosition(), 2441u);
    EXPECT_FALSE(a->IsLooping());
    EXPECT_FALSE(m_sound.PlayOnce(nullptr));
}

TEST_F(SoundTest, ManyOverlappingCopiesAreAllKeptAndReleased)
{
    MakeSound("a.ogg", 100);
    SoundBuffer* a = Load("sfx\\a.ogg");
    for (int i = 0; i < 15; ++i) {
        ASSERT_TRUE(m_sound.PlayOnce(a));
        Advance(2);
    }
    EXPECT_EQ(m_sound.GetCopyCount(), 14);
    Advance(200);
    EXPECT_EQ(m_sound.GetCopyCount(), 0);
}

// ---- Play and Stop ----

TEST_F(SoundTest, PlayWithRestartRewindsAndKeepsPlaying)
{
    MakeSound("a.ogg", 200);
    SoundBuffer* a = Load("sfx\\a.ogg");
    EXPECT_TRUE(m_sound.Play(a, true, false));
    EXPECT_TRUE(a->IsLooping());
    Mix(50);
    EXPECT_TRUE(m_sound.Play(a, false, true));
    EXPECT_EQ(a->GetPosition(), 0u) << "rewound";
    EXPECT_TRUE(a->IsPlaying());
    EXPECT_TRUE(a->IsLooping()) << "a playing sound is only rewound";
    Mix(50);
    EXPECT_TRUE(m_sound.Play(a, true, false));
    EXPECT_EQ(a->GetPosition(), 2205u) << "without restart nothing changes";
    EXPECT_TRUE(m_sound.Stop(a));
    EXPECT_FALSE(a->IsPlaying());
    EXPECT_EQ(a->GetPosition(), 2205u);
    EXPECT_TRUE(m_sound.Play(a, false, true));
    EXPECT_EQ(a->GetPosition(), 0u) << "a stopped sound is rewound before it starts";
    EXPECT_FALSE(a->IsLooping());
    EXPECT_FALSE(m_sound.Play(nullptr, true, true));
    EXPECT_FALSE(m_sound.Stop(nullptr));
}

TEST_F(SoundTest, TheLogNamesEveryStartAndEveryStopOfAPlayingSound)
{
    MakeSound("a.ogg", 200);
    MakeSound("b.ogg", 200);
    SoundBuffer* a = Load("sfx\\a.ogg");
    SoundBuffer* b = Load("sfx\\b.ogg");
    m_sound.PlayOnce(a);
    EXPECT_TRUE(m_sound.GetLog().empty()) << "kept only when asked for";
    m_sound.KeepLog(true);
    m_sound.PlayOnce(a);  // overlaps as a copy: still a sound heard
    m_sound.Play(b, true, false);
    m_sound.Play(b, true, false);  // already looping: nothing starts
    m_sound.Stop(b);
    m_sound.Stop(b);  // not playing: nothing stops
    m_sound.Play(b, true, false);
    m_sound.StopGroup(kGroupEffects, true);
    const std::vector<std::string> expected = {"play sfx\\a.ogg", "loop sfx\\b.ogg", "stop sfx\\b.ogg",
                                               "loop sfx\\b.ogg", "stop sfx\\b.ogg"};
    EXPECT_EQ(m_sound.GetLog(), expected);
    EXPECT_EQ(m_sound.CountLog("loop sfx\\b.ogg"), 2);
    EXPECT_EQ(m_sound.CountLog("stop sfx\\a.ogg"), 0) << "a one-shot is not stopped by a loops-only stop";
    for (size_t i = 0; i < GMSoundSystem::kLogLimit / 2 + 5; ++i) {
        m_sound.Play(b, true, false);
        m_sound.Stop(b);
    }
    EXPECT_EQ(m_sound.GetLog().size(), GMSoundSystem::kLogLimit) << "a sound started every frame cannot fill memory";
    m_sound.KeepLog(false);
    EXPECT_TRUE(m_sound.GetLog().empty());
}

// ---- groups ----

TEST_F(SoundTest, PausingEffectsAndResumingRestartsALoopWhereItStopped)
{
    MakeSound("Motor.ogg", 100);
    MakeSound("Once.ogg", 100);
    MakeSound("Menu.ogg", 100);
    SoundBuffer* motor = Load("sfx\\Motor.ogg");
    SoundBuffer* once = Load("sfx\\Once.ogg");
    SoundBuffer* menu = Load("sfx\\Menu.ogg", kGroupInterface);
    m_sound.Play(motor, true, false);
    m_sound.Play(menu, true, false);
    Advance(130);  // the loop has wrapped once
    m_sound.PauseGroup(true, kGroupEffects);
    EXPECT_FALSE(motor->IsPlaying());
    EXPECT_TRUE(menu->IsPlaying()) << "other groups play on";
    const uint32_t at = motor->GetPosition();
    EXPECT_EQ(at, 30u * 441u / 10u);
    EXPECT_EQ(m_sound.FindEntry(motor)->state & (kSoundWasPlaying | kSoundWasLooping),
              kSoundWasPlaying | kSoundWasLooping);
    EXPECT_EQ(m_sound.FindEntry(once)->state & kSoundWasPlaying, 0);
    Advance(500);
    EXPECT_EQ(motor->GetPosition(), at);
    m_sound.PauseGroup(false, kGroupEffects);
    EXPECT_TRUE(motor->IsPlaying());
    EXPECT_TRUE(motor->IsLooping());
    EXPECT_EQ(motor->GetPosition(), at) << "resumed where it stopped";
    EXPECT_FALSE(once->IsPlaying()) << "a sound that was not playing stays quiet";
    Advance(200);
    EXPECT_TRUE(motor->IsPlaying()) << "still looping";
}

TEST_F(SoundTest, PausingAnotherGroupKeepsTheFirstGroupsRecord)
{
    MakeSound("Motor.ogg", 100);
    MakeSound("Tune.ogg", 100);
    SoundBuffer* motor = Load("sfx\\Motor.ogg");
    SoundBuffer* tune = Load("sfx\\Tune.ogg", kGroupMusic);
    m_sound.Play(motor, true, false);
    m_sound.Play(tune, true, false);
    m_sound.PauseGroup(true, kGroupEffects);
    m_sound.PauseGroup(true, kGroupMusic);
    m_sound.PauseGroup(false, kGroupEffects);
    EXPECT_TRUE(motor->IsPlaying());
    EXPECT_FALSE(tune->IsPlaying());
    m_sound.PauseGroup(false, kGroupMusic);
    EXPECT_TRUE(tune->IsPlaying());
}

TEST_F(SoundTest, StopGroupOnlyLoopingLeavesOneShotsAndForgetsThePause)
{
    MakeSound("Loop.ogg", 100);
    MakeSound("Shot.ogg", 100);
    MakeSound("Ui.ogg", 100);
    SoundBuffer* loop = Load("sfx\\Loop.ogg");
    SoundBuffer* shot = Load("sfx\\Shot.ogg");
    SoundBuffer* ui = Load("sfx\\Ui.ogg", kGroupInterface);
    m_sound.Play(loop, true, false);
    m_sound.Play(shot, false, false);
    m_sound.Play(ui, true, false);
    m_sound.StopGroup(kGroupEffects, true);
    EXPECT_FALSE(loop->IsPlaying());
    EXPECT_TRUE(shot->IsPlaying());
    EXPECT_TRUE(ui->IsPlaying());
    m_sound.StopGroup(kGroupEffects, false);
    EXPECT_FALSE(shot->IsPlaying());

    // A stopped group is not brought back by a resume.
    m_sound.Play(loop, true, false);
    m_sound.PauseGroup(true, kGroupEffects);
    m_sound.StopGroup(kGroupEffects, false);
    EXPECT_EQ(m_sound.FindEntry(loop)->state & kSoundWasPlaying, 0);
    m_sound.PauseGroup(false, kGroupEffects);
    EXPECT_FALSE(loop->IsPlaying());
}

TEST_F(SoundTest, UnloadGroupRemovesItsSoundsAndFades)
{
    MakeSound("a.ogg", 300);
    MakeSound("b.ogg", 300);
    SoundBuffer* a = Load("sfx\\a.ogg", kGroupMusic, true);
    SoundBuffer* b = Load("sfx\\b.ogg");
    ASSERT_GE(m_sound.FadeSound(a, true, 500, false), 0);
    m_sound.Play(b, false, false);
    m_sound.PlayOnce(b);
    m_sound.UnloadGroup(kGroupMusic);
    EXPECT_EQ(m_sound.GetSoundCount(), 1);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
    EXPECT_EQ(m_sound.FindEntry("sfx\\a.ogg"), nullptr);
    EXPECT_TRUE(b->IsPlaying());
    Advance(10);
    // The name loads afresh now.
    EXPECT_NE(Load("sfx\\a.ogg", kGroupMusic), nullptr);
    EXPECT_EQ(m_sound.GetSoundCount(), 2);
}

TEST_F(SoundTest, DestroySoundSystemReleasesEverything)
{
    MakeSound("a.ogg", 300);
    SoundBuffer* a = Load("sfx\\a.ogg");
    m_sound.SetGroupVolume(0.5f, kGroupEffects);
    m_sound.Play(a, true, false);
    m_sound.PlayOnce(a);
    m_sound.FadeSound(a, true, 500, true);
    m_sound.DestroySoundSystem();
    EXPECT_FALSE(m_sound.HasDevice());
    EXPECT_EQ(m_sound.GetSoundCount(), 0);
    EXPECT_EQ(m_sound.GetCopyCount(), 0);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
    EXPECT_EQ(m_sound.GetGroupVolume(kGroupEffects), 1.0f);
    EXPECT_EQ(Load("sfx\\a.ogg"), nullptr);
    m_sound.DestroySoundSystem();
}

// ---- fades ----

TEST_F(SoundTest, FadeInRisesFromTheFloorToFullVolume)
{
    MakeSound("Tune.ogg", 300);
    SoundBuffer* t = Load("sfx\\Tune.ogg", kGroupMusic, true);
    ASSERT_EQ(t->GetVolume(), -5000);
    const int32_t index = m_sound.FadeSound(t, true, 500, false);
    ASSERT_GE(index, 0);
    EXPECT_TRUE(t->IsPlaying());
    EXPECT_TRUE(t->IsLooping());
    const GMSoundFade* f = m_sound.GetFade(index);
    EXPECT_EQ(f->target, 0);
    EXPECT_FLOAT_EQ(f->speed, 10.0f);
    Advance(250);
    EXPECT_EQ(t->GetVolume(), -2500);
    Advance(240);
    EXPECT_EQ(t->GetVolume(), -100);
    EXPECT_EQ(m_sound.GetFadeCount(), 1);
    Advance(10);
    EXPECT_EQ(t->GetVolume(), 0);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
    EXPECT_TRUE(t->IsPlaying());
}

TEST_F(SoundTest, FadeOutEndsStoppedAtTheFloor)
{
    MakeSound("Tune.ogg", 300);
    SoundBuffer* t = Load("sfx\\Tune.ogg", kGroupMusic);
    m_sound.Play(t, true, false);
    ASSERT_GE(m_sound.FadeSound(t, false, 400, true), 0);
    EXPECT_LT(m_sound.GetFade(0)->speed, 0.0f);
    Advance(200);
    EXPECT_EQ(t->GetVolume(), -2500);
    EXPECT_TRUE(t->IsPlaying());
    Advance(200);
    EXPECT_FALSE(t->IsPlaying());
    EXPECT_EQ(t->GetVolume(), -5000);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
}

TEST_F(SoundTest, FadeTargetFollowsGroupAndRelativeVolume)
{
    MakeSound("Tune.ogg", 300);
    WriteFile("sfx/Tune.snd", "0.5");
    m_sound.SetGroupVolume(0.8f, kGroupMusic);
    SoundBuffer* t = Load("sfx\\Tune.ogg", kGroupMusic, true);
    int32_t i = m_sound.FadeSound(t, true, 100, false);
    EXPECT_EQ(m_sound.GetFade(i)->target, -3000);
    EXPECT_FLOAT_EQ(m_sound.GetFade(i)->speed, 20.0f);
    Advance(100);
    EXPECT_EQ(t->GetVolume(), -3000);
}

TEST_F(SoundTest, FadeRefusals)
{
    MakeSound("Tune.ogg", 300);
    SoundBuffer* t = Load("sfx\\Tune.ogg", kGroupMusic);
    EXPECT_EQ(m_sound.FadeSound(nullptr, true, 500, false), -1);
    EXPECT_EQ(m_sound.FadeSound(t, true, 0, false), -1);
    EXPECT_EQ(m_sound.FadeSound(t, true, -5, false), -1);
    EXPECT_EQ(m_sound.FadeSound(t, false, 500, true), -1) << "fading out a quiet sound";
    // A group volume of 0 gives no range to fade over; an earlier fade of the buffer goes too.
    ASSERT_GE(m_sound.FadeSound(t, true, 500, false), 0);
    m_sound.SetGroupVolume(0.0f, kGroupMusic);
    EXPECT_EQ(m_sound.FadeSound(t, true, 500, false), -1);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
}

TEST_F(SoundTest, FadeOutGroupWithNothingPlayingDoesNothing)
{
    MakeSound("a.ogg", 100);
    MakeSound("b.ogg", 100);
    SoundBuffer* a = Load("sfx\\a.ogg", kGroupMusic);
    Load("sfx\\b.ogg", kGroupMusic);
    m_sound.FadeOutGroup(kGroupMusic, 500);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
    EXPECT_EQ(a->GetVolume(), 0);
    m_sound.Play(a, true, false);
    m_sound.FadeOutGroup(kGroupMusic, 500);
    EXPECT_EQ(m_sound.GetFadeCount(), 1);
}

TEST_F(SoundTest, FadeOfAStoppedSoundIsDropped)
{
    MakeSound("a.ogg", 300);
    SoundBuffer* a = Load("sfx\\a.ogg", kGroupMusic, true);
    m_sound.FadeSound(a, true, 500, false);
    Advance(100);
    m_sound.Stop(a);
    const int32_t volume = a->GetVolume();
    Advance(100);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
    EXPECT_EQ(a->GetVolume(), volume);
}

TEST_F(SoundTest, MusicVolumeChangedDuringAFadeInKeepsTheOldTarget)
{
    MakeSound("Tune.ogg", 300);
    SoundBuffer* t = Load("sfx\\Tune.ogg", kGroupMusic, true);
    m_sound.FadeSound(t, true, 500, false);
    Advance(100);
    m_sound.ApplyGroupVolume(0.5f, kGroupMusic);
    m_sound.SetGroupVolume(0.5f, kGroupMusic);
    EXPECT_EQ(t->GetVolume(), -2500) << "applied at once";
    Advance(100);
    EXPECT_EQ(t->GetVolume(), -3000) << "then the fade carries on its own course";
    Advance(300);
    EXPECT_EQ(t->GetVolume(), 0) << "to its old target";
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
}

// ---- music change ----

TEST_F(SoundTest, MusicChangeCrossFadesOverHalfASecond)
{
    MakeSound("mainmenu.ogg", 400, 2);
    MakeSound("ingame.ogg", 400, 2);
    SoundBuffer* menu = m_sound.LoadSound("sfx\\mainmenu.ogg", kGroupMusic, false, 130, true);
    SoundBuffer* game = m_sound.LoadSound("sfx\\ingame.ogg", kGroupMusic, false, 130, true);
    EXPECT_EQ(m_sound.ChangeMusic("sfx\\MainMenu.ogg"), menu);
    EXPECT_EQ(m_sound.GetSoundCount(), 2) << "the preloaded track is found";
    Advance(500);
    EXPECT_EQ(menu->GetVolume(), 0);
    EXPECT_TRUE(menu->IsLooping());

    EXPECT_EQ(m_sound.ChangeMusic("sfx\\ingame.ogg"), game);
    EXPECT_EQ(m_sound.GetFadeCount(), 2);
    Advance(250);
    EXPECT_EQ(menu->GetVolume(), -2500);
    EXPECT_EQ(game->GetVolume(), -2500);
    Advance(250);
    EXPECT_FALSE(menu->IsPlaying());
    EXPECT_EQ(menu->GetVolume(), -5000);
    EXPECT_TRUE(game->IsPlaying());
    EXPECT_TRUE(game->IsLooping());
    EXPECT_EQ(game->GetVolume(), 0);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);
}

TEST_F(SoundTest, MusicChangeKeepsAPlayingTrackAndTurnsItsFadeOutIntoAFadeIn)
{
    MakeSound("ingame.ogg", 1000, 2);
    SoundBuffer* game = m_sound.ChangeMusic("sfx\\ingame.ogg");
    ASSERT_NE(game, nullptr);
    Advance(500);
    ASSERT_EQ(game->GetVolume(), 0);
    const uint32_t before = game->GetPosition();

    // The same track again: still playing, not rewound, not faded down.
    EXPECT_EQ(m_sound.ChangeMusic("sfx\\ingame.ogg"), game);
    EXPECT_TRUE(game->IsPlaying());
    EXPECT_EQ(game->GetPosition(), before);
    ASSERT_EQ(m_sound.GetFadeCount(), 1);
    EXPECT_GT(m_sound.GetFade(0)->speed, 0.0f);
    Advance(10);
    EXPECT_EQ(game->GetVolume(), 0);
    EXPECT_EQ(m_sound.GetFadeCount(), 0);

    // Back to it in the middle of its fade-out: it rises again from where it was.
    MakeSound("other.ogg", 1000, 2);
    m_sound.ChangeMusic("sfx\\other.ogg");
    Advance(200);
    EXPECT_EQ(game->GetVolume(), -2000);
    m_sound.ChangeMusic("sfx\\ingame.ogg");
    Advance(100);
    EXPECT_EQ(game->GetVolume(), -1000);
    EXPECT_TRUE(game->IsPlaying());
    EXPECT_EQ(game->GetPosition(), (before + 310u * 441u / 10u) % game->Frames());
}
