// Our code entered from a stack aligned to 4 bytes only, as 32-bit Windows may call a window
// procedure, a thread's entry or a callback: a function with a 16-byte aligned local finds it
// aligned, and a clip decoded and its pictures scaled (the SIMD of FFmpeg and of our own
// scaler) runs as it does from an aligned stack, for each of the three misalignments.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "player/decode/clip_decoder.h"
#include "support/support.h"

// Calls fn(argument) with the stack off 16-byte alignment by skew bytes (4, 8 or 12) at the
// call, restoring it after: a hand-written thunk, so that no compiler realigns it first.
extern "C" void CallSkewed(void (*fn)(void*), void* argument, unsigned skew);
asm(".text\n"
    ".globl _CallSkewed\n"
    "_CallSkewed:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  movl 8(%ebp), %eax\n"
    "  movl 12(%ebp), %edx\n"
    "  movl 16(%ebp), %ecx\n"
    "  andl $-16, %esp\n"
    "  subl %ecx, %esp\n"
    "  subl $12, %esp\n"
    "  pushl %edx\n"
    "  call *%eax\n"
    "  movl %ebp, %esp\n"
    "  popl %ebp\n"
    "  ret\n");

namespace quorvane::e2e {
namespace {

// Where the stack pointer stood just before the call into fn, modulo 16.
extern "C" void NoteStack(void* out) {
  alignas(16) volatile unsigned char local[16];
  local[0] = 1;
  // Hidden from the compiler, which would otherwise take the alignment it asked for as given.
  auto address = reinterpret_cast<uintptr_t>(local);
  asm volatile("" : "+r"(address));
  *static_cast<uintptr_t*>(out) = address % 16;
}

struct Decoding {
  std::string clip;
  int pictures = 0;
  int sounds = 0;
};

extern "C" void DecodeEnlarged(void* argument) {
  auto* decoding = static_cast<Decoding*>(argument);
  std::unique_ptr<player::ClipDecoder> decoder =
      player::ClipDecoder::Open(decoding->clip, [] { return false; });
  if (!decoder) return;
  player::Picture picture;
  player::ClipDecoder::Sound sound;
  for (;;) {
    // x1.5: the clip's 320 x 240 pictures scaled to 480 x 360.
    player::ClipDecoder::Step step = decoder->Next(480, 360, picture, sound);
    if (step == player::ClipDecoder::Step::kEnd) break;
    if (step == player::ClipDecoder::Step::kPicture) ++decoding->pictures;
    if (step == player::ClipDecoder::Step::kSound) ++decoding->sounds;
  }
}

TEST(MisalignedStack, AnAlignedLocalIsAlignedWhateverTheStackCameWith) {
  for (unsigned skew : {0u, 4u, 8u, 12u}) {
    uintptr_t remainder = 99;
    CallSkewed(NoteStack, &remainder, skew);
    EXPECT_EQ(remainder, 0u) << "entered " << skew << " bytes off";
  }
}

TEST(MisalignedStack, ClipsDecodeAndScaleFromAnyStack) {
  std::string clip = Narrow(ClipsFolder() + L"\\medium.rm");
  Decoding aligned{clip};
  CallSkewed(DecodeEnlarged, &aligned, 0);
  ASSERT_GT(aligned.pictures, 0);
  ASSERT_GT(aligned.sounds, 0);
  for (unsigned skew : {4u, 8u, 12u}) {
    Decoding skewed{clip};
    CallSkewed(DecodeEnlarged, &skewed, skew);
    EXPECT_EQ(skewed.pictures, aligned.pictures) << "entered " << skew << " bytes off";
    EXPECT_EQ(skewed.sounds, aligned.sounds) << "entered " << skew << " bytes off";
  }
}

}  // namespace
}  // namespace quorvane::e2e
