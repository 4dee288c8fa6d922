// A question about a disk that does not answer in time: nothing is given,
// the question is not asked twice while it waits, and its late answer goes
// to the next asker about the same thing only.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

#include "platform/QuestionOffThread.h"

namespace varnoket {
namespace {

using std::chrono::milliseconds;

TEST(QuestionOffThread, ASilentQuestionIsNotAskedTwiceAndItsLateAnswerGoesToTheSameSubjectOnly) {
  QuestionOffThread<int> question;
  std::atomic<int> asked{0};
  std::promise<void> answer;
  std::shared_future<void> answered = answer.get_future().share();
  const auto slow = [&asked, answered] {
    ++asked;
    answered.wait();
    return 7;
  };
  EXPECT_EQ(question.Ask("disk B", slow, milliseconds(20)), std::nullopt);
  EXPECT_TRUE(question.Waiting());
  EXPECT_EQ(question.Ask("disk B", slow, milliseconds(20)), std::nullopt);
  EXPECT_EQ(asked.load(), 1);

  answer.set_value();
  while (question.Waiting()) std::this_thread::sleep_for(milliseconds(1));
  EXPECT_EQ(question.Ask(
                "disk B", [] { return 8; }, milliseconds(1000)),
            7);
  // Answered in time: asked afresh.
  EXPECT_EQ(question.Ask(
                "disk B", [] { return 8; }, milliseconds(1000)),
            8);

  // The late answer about another disk is not given for this one.
  std::promise<void> second;
  std::shared_future<void> secondAnswered = second.get_future().share();
  EXPECT_EQ(question.Ask(
                "disk C",
                [secondAnswered] {
                  secondAnswered.wait();
                  return 1;
                },
                milliseconds(20)),
            std::nullopt);
  second.set_value();
  while (question.Waiting()) std::this_thread::sleep_for(milliseconds(1));
  EXPECT_EQ(question.Ask(
                "disk B", [] { return 9; }, milliseconds(1000)),
            9);
}

}  // namespace
}  // namespace varnoket
