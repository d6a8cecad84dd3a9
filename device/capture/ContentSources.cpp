#include "ContentSources.h"

bool AppendSoundSink(FilterChain& chain, const std::string& sampleRate, std::string* pError)
{
    return chain.Append("aformat",
                        {{"sample_fmts", "s16"},
                         {"channel_layouts", "stereo"},
                         {"sample_rates", sampleRate}},
                        pError) &&
           chain.Append("abuffersink", {}, pError);
}
