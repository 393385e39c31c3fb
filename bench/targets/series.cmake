ostrelin_bench(series DEPENDS atlasbau_core)
