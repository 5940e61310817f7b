#include "tools/mkdata/sound_library.h"

#include "sound/sound_list.h"
#include "tools/mkdata/sound_synth.h"
#include "tools/mkdata/wave_writer.h"

namespace mkdata {

std::string BuildSoundLibrarySource() {
  std::string out =
      "// Made by mkdata sound-library: the WAV resources of \"sound.dll\".\n"
      "#include \"platform/kernel/resource.h\"\n\nnamespace {\n";
  for (std::size_t i = 0; i < sound::kSoundList.size(); ++i) {
    const sound::SoundListEntry& entry = sound::kSoundList[i];
    const std::vector<std::uint8_t> image =
        BuildWave({entry.sampleRate, SynthesiseSound(entry), entry.sampleChunk});
    out += "const unsigned char kSound" + std::to_string(i) + "[] = {";
    for (std::size_t at = 0; at < image.size(); ++at) {
      out += (at % 32 == 0 ? "\n" : "") + std::to_string(image[at]) + ",";
    }
    out += "\n};\n";
  }
  out +=
      "}  // namespace\n\nextern \"C\" const platform::ResourceEntry platform_resource_table[] = "
      "{\n";
  for (std::size_t i = 0; i < sound::kSoundList.size(); ++i) {
    const std::string array = "kSound" + std::to_string(i);
    out += "    {\"" + std::string(sound::kSoundList[i].name) + "\", \"WAV\", " + array +
           ", sizeof " + array + "},\n";
  }
  out += "    {},\n};\n";
  return out;
}

}  // namespace mkdata
