#include "media/alsa_master.h"

#include <dlfcn.h>

#include <algorithm>

namespace tomeric {

namespace {

// The few entry points of libasound the master control needs.
struct TAlsaCalls {
    int (*open)(void**, int);
    int (*attach)(void*, const char*);
    int (*registerSelem)(void*, void*, void**);
    int (*load)(void*);
    int (*close)(void*);
    int (*idMalloc)(void**);
    void (*idFree)(void*);
    void (*idSetIndex)(void*, unsigned);
    void (*idSetName)(void*, const char*);
    void* (*findSelem)(void*, const void*);
    int (*getRange)(void*, long*, long*);
    int (*getVolume)(void*, int, long*);
    int (*setVolumeAll)(void*, long);
};

TAlsaCalls calls{};

template <class T>
bool Bind(void* library, const char* name, T& slot)
{
    slot = reinterpret_cast<T>(dlsym(library, name));
    return slot != nullptr;
}

bool BindAll(void* library)
{
    return Bind(library, "snd_mixer_open", calls.open) && Bind(library, "snd_mixer_attach", calls.attach) &&
           Bind(library, "snd_mixer_selem_register", calls.registerSelem) &&
           Bind(library, "snd_mixer_load", calls.load) && Bind(library, "snd_mixer_close", calls.close) &&
           Bind(library, "snd_mixer_selem_id_malloc", calls.idMalloc) &&
           Bind(library, "snd_mixer_selem_id_free", calls.idFree) &&
           Bind(library, "snd_mixer_selem_id_set_index", calls.idSetIndex) &&
           Bind(library, "snd_mixer_selem_id_set_name", calls.idSetName) &&
           Bind(library, "snd_mixer_find_selem", calls.findSelem) &&
           Bind(library, "snd_mixer_selem_get_playback_volume_range", calls.getRange) &&
           Bind(library, "snd_mixer_selem_get_playback_volume", calls.getVolume) &&
           Bind(library, "snd_mixer_selem_set_playback_volume_all", calls.setVolumeAll);
}

// ALSA prints its complaints (no card, no "default" device) on standard
// error unless told otherwise; a machine without a mixer is no error here.
void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}
using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);

constexpr int kFrontLeft = 0;
constexpr int kFullLevel = 65535;

} // namespace

TAlsaMaster* TAlsaMaster::Find()
{
    static TAlsaMaster* master = [] {
        auto* candidate = new TAlsaMaster;
        if (candidate->Open())
            return candidate;
        delete candidate;
        return static_cast<TAlsaMaster*>(nullptr);
    }();
    return master;
}

bool TAlsaMaster::Open()
{
    library_ = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (!library_ || !BindAll(library_))
        return false;
    int (*setErrorHandler)(ErrorHandler) = nullptr;
    if (Bind(library_, "snd_lib_error_set_handler", setErrorHandler))
        setErrorHandler(SilentAlsaErrors);
    if (calls.open(&mixer_, 0) != 0)
        return false;
    if (calls.attach(mixer_, "default") != 0 || calls.registerSelem(mixer_, nullptr, nullptr) != 0 ||
        calls.load(mixer_) != 0) {
        calls.close(mixer_);
        mixer_ = nullptr;
        return false;
    }
    void* id = nullptr;
    if (calls.idMalloc(&id) != 0)
        return false;
    calls.idSetIndex(id, 0);
    calls.idSetName(id, "Master");
    element_ = calls.findSelem(mixer_, id);
    calls.idFree(id);
    return element_ && calls.getRange(element_, &minimum_, &maximum_) == 0 && maximum_ > minimum_;
}

std::optional<int> TAlsaMaster::Level() const
{
    long value = 0;
    if (calls.getVolume(element_, kFrontLeft, &value) != 0)
        return std::nullopt;
    return int((std::clamp(value, minimum_, maximum_) - minimum_) * kFullLevel / (maximum_ - minimum_));
}

bool TAlsaMaster::SetLevel(int control)
{
    const long value = minimum_ + long(std::clamp(control, 0, kFullLevel)) * (maximum_ - minimum_) / kFullLevel;
    return calls.setVolumeAll(element_, value) == 0;
}

} // namespace tomeric
