-- description: Products of a category, picked or typed (SFIXPICKW)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, code, name, category, unit_price
FROM products
WHERE category = ?SFIXPICKW_Category||{Parts,Tools,Services}?
ORDER BY name
