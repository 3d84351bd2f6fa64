int TrelvoProbe() { return 42; }
