#include "player/decode/stream_candidates.h"

#include "player/source/stream_choice.h"

namespace quorvane::player {

std::vector<int> Candidates(const AVFormatContext* format, AVMediaType type,
                            const std::map<int, int>& packets) {
  int preferred =
      av_find_best_stream(const_cast<AVFormatContext*>(format), type, -1, -1, nullptr, 0);
  std::vector<StreamFacts> facts;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVStream* stream = format->streams[i];
    const AVCodecParameters* p = stream->codecpar;
    if (p->codec_type != type) continue;
    if (type == AVMEDIA_TYPE_VIDEO && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) continue;
    if (type == AVMEDIA_TYPE_AUDIO && (p->sample_rate <= 0 || p->ch_layout.nb_channels <= 0)) {
      continue;
    }
    StreamFacts f;
    f.index = static_cast<int>(i);
    f.decodable = avcodec_find_decoder(p->codec_id) != nullptr;
    f.has_packets = packets.empty() || packets.count(stream->id) != 0;
    f.preferred = f.index == preferred;
    f.bit_rate = p->bit_rate;
    f.sample_rate = p->sample_rate;
    f.channels = p->ch_layout.nb_channels;
    f.pixels = static_cast<int64_t>(p->width) * p->height;
    facts.push_back(f);
  }
  return RankStreams(std::move(facts));
}

CodecPtr OpenDecoder(const AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return nullptr;
  CodecPtr context(avcodec_alloc_context3(codec));
  if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0) {
    return nullptr;
  }
  context->pkt_timebase = stream->time_base;
  // One decoding thread: clips are small and the user-interface thread must stay light.
  context->thread_count = 1;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
  return context;
}

}  // namespace quorvane::player
