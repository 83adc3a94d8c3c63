#include "tests/shell/support/JackLibrary.h"

namespace KA::Test
{
JackLibrary& JackLibrary::get()
{
    static JackLibrary instance;
    return instance;
}

JackLibrary::JackLibrary()
{
    if (! library.open ("libjack.so.0"))
        return;

    const auto find = [this] (auto& fn, const char* symbol)
    {
        fn = reinterpret_cast<std::remove_reference_t<decltype (fn)>> (library.getFunction (symbol));
        return fn != nullptr;
    };

    const bool all = find (client_close, "jack_client_close") && find (port_register, "jack_port_register")
                  && find (port_get_buffer, "jack_port_get_buffer") && find (port_name, "jack_port_name")
                  && find (set_process_callback, "jack_set_process_callback") && find (activate, "jack_activate")
                  && find (deactivate, "jack_deactivate") && find (connect, "jack_connect")
                  && find (disconnect, "jack_disconnect")
                  && find (port_get_all_connections, "jack_port_get_all_connections")
                  && find (get_ports, "jack_get_ports") && find (free, "jack_free")
                  && find (set_buffer_size, "jack_set_buffer_size") && find (get_buffer_size, "jack_get_buffer_size")
                  && find (get_sample_rate, "jack_get_sample_rate");

    // client_open last: it doubles as the "loaded" flag.
    if (all)
        find (client_open, "jack_client_open");
}
} // namespace KA::Test
