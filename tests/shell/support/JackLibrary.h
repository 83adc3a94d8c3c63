#pragma once

#include <jack/jack.h>
#include <juce_core/juce_core.h>

namespace KA::Test
{
/** libjack reached through dlopen, the way JUCE itself reaches it, so the tests need no
    link-time dependency. */
struct JackLibrary
{
    static JackLibrary& get();
    bool isLoaded() const noexcept { return client_open != nullptr; }

    decltype (&::jack_client_open) client_open = nullptr;
    decltype (&::jack_client_close) client_close = nullptr;
    decltype (&::jack_port_register) port_register = nullptr;
    decltype (&::jack_port_get_buffer) port_get_buffer = nullptr;
    decltype (&::jack_port_name) port_name = nullptr;
    decltype (&::jack_set_process_callback) set_process_callback = nullptr;
    decltype (&::jack_activate) activate = nullptr;
    decltype (&::jack_deactivate) deactivate = nullptr;
    decltype (&::jack_connect) connect = nullptr;
    decltype (&::jack_disconnect) disconnect = nullptr;
    decltype (&::jack_port_get_all_connections) port_get_all_connections = nullptr;
    decltype (&::jack_get_ports) get_ports = nullptr;
    decltype (&::jack_free) free = nullptr;
    decltype (&::jack_set_buffer_size) set_buffer_size = nullptr;
    decltype (&::jack_get_buffer_size) get_buffer_size = nullptr;
    decltype (&::jack_get_sample_rate) get_sample_rate = nullptr;

private:
    JackLibrary();
    juce::DynamicLibrary library;
};
} // namespace KA::Test
