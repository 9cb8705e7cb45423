// The FFmpeg these tests link is the one the program ships: built from the same options, with the
// RealMedia demuxer and every decoder RealMedia files use, and nothing of Debian's own FFmpeg or
// the codec libraries it brings (whose code is not in the program, and which broke valgrind on a
// new processor before any of ours had run).
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <fstream>
#include <string>

namespace {

TEST(FFmpegBuild, DecodesEveryRealMediaCodecAndOpensNothingElse) {
  const AVCodecID real_codecs[] = {AV_CODEC_ID_RV10,   AV_CODEC_ID_RV20,   AV_CODEC_ID_RV30,
                                   AV_CODEC_ID_RV40,   AV_CODEC_ID_COOK,   AV_CODEC_ID_SIPR,
                                   AV_CODEC_ID_ATRAC3, AV_CODEC_ID_RA_144, AV_CODEC_ID_RA_288,
                                   AV_CODEC_ID_AAC,    AV_CODEC_ID_AC3,    AV_CODEC_ID_RALF};
  for (AVCodecID id : real_codecs) {
    EXPECT_NE(avcodec_find_decoder(id), nullptr) << avcodec_get_name(id);
  }
  for (AVCodecID id :
       {AV_CODEC_ID_H264, AV_CODEC_ID_MJPEG, AV_CODEC_ID_MP3, AV_CODEC_ID_PCM_S16LE}) {
    EXPECT_EQ(avcodec_find_decoder(id), nullptr) << avcodec_get_name(id) << " is not shipped";
  }
  EXPECT_NE(av_find_input_format("rm"), nullptr);
  for (const char* other : {"avi", "matroska", "mov", "wav", "image2"}) {
    EXPECT_EQ(av_find_input_format(other), nullptr) << other << " is not shipped";
  }
  std::string configuration = avformat_configuration();
  EXPECT_NE(configuration.find("--disable-everything"), std::string::npos) << configuration;
  EXPECT_EQ(configuration.find("/var/"), std::string::npos) << "a build folder: " << configuration;
}

TEST(FFmpegBuild, NoSharedCodecLibraryIsLoaded) {
  std::ifstream maps("/proc/self/maps");
  ASSERT_TRUE(maps);
  std::string line;
  while (std::getline(maps, line)) {
    for (const char* library : {"libavcodec.so", "libavformat.so", "libavutil.so", "libswscale.so",
                                "libswresample.so", "libjxl", "libhwy", "libdav1d"}) {
      EXPECT_EQ(line.find(library), std::string::npos) << line;
    }
  }
}

}  // namespace
