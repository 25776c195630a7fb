// No include guard: ends the use of a member-table .def file.
#undef TARVO_GET
#undef TARVO_PUT
#undef TARVO_GETPUT
#undef TARVO_GETPUT_AT
#undef TARVO_METHOD
#undef TARVO_ALIAS
#undef TARVO_EVENT
